#ifndef SIFRE_H
#define SIFRE_H

#include <QDialog>

#include <memory>

namespace Ui {
class Sifre;
}

// Asks for the logger's password at the moment an operation needs it. The
// password is handed over as typed (blanks included); the logger checks it.
class Sifre : public QDialog
{
    Q_OBJECT

public:
    explicit Sifre(QWidget *parent = nullptr);
    ~Sifre() override;

    QString password() const;

private slots:
    void on_btnTamam_clicked();
    void on_btnIptal_clicked();

private:
    std::unique_ptr<Ui::Sifre> ui;
};

#endif // SIFRE_H
