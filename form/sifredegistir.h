#ifndef SIFREDEGISTIR_H
#define SIFREDEGISTIR_H

#include <QDialog>

#include <memory>

namespace Ui {
class SifreDegistir;
}

// Asks for the old password and the new one twice. Only non-empty passwords
// with a matching repetition are accepted; the repetition itself never leaves
// the dialog.
class SifreDegistir : public QDialog
{
    Q_OBJECT

public:
    explicit SifreDegistir(QWidget *parent = nullptr);
    ~SifreDegistir() override;

    QString oldPassword() const;
    QString newPassword() const;

private slots:
    void on_btnTamam_clicked();
    void on_btnIptal_clicked();

private:
    void refuse(const QString &text);

    std::unique_ptr<Ui::SifreDegistir> ui;
};

#endif // SIFREDEGISTIR_H
