#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "form.h"
#include "messagebox.h"

#include <QCloseEvent>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    m_form = new Form(this);
    connect(m_form, &Form::closeApplication, this, &MainWindow::onCloseApplication);
    setCentralWidget(m_form);
    applyTitle();
}

MainWindow::~MainWindow() { delete ui; }

void MainWindow::onCloseApplication() { close(); }

void MainWindow::applyTitle()
{
    setWindowTitle(QStringLiteral("%1 - v%2 (Build: %3)")
                       .arg(QCoreApplication::applicationName(),
                            QCoreApplication::applicationVersion())
                       .arg(buildNumber));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const int answer = MessageBox::question(this, tr("Çıkış"), tr("Çıkmak istediğinizden emin misiniz?"),
                                            {tr("Evet"), tr("Hayır")}, 0, 1);
    if (answer == 0)
        event->accept();
    else
        event->ignore();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        applyTitle();
    }
    QMainWindow::changeEvent(event);
}
