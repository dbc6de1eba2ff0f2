#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

namespace Ui {
class MainWindow;
}
class Form;

// The program's only top-level window: hosts the working form, shows the
// name, version and build in its title and asks before the program closes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Form *form() const { return m_form; }

    // Build number shown in the title only.
    static constexpr int buildNumber = 1;

public slots:
    void onCloseApplication();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyTitle();

    Ui::MainWindow *ui;
    Form *m_form;
};

#endif // MAINWINDOW_H
