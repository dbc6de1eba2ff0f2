#include "sifre.h"
#include "ui_sifre.h"

#include "messagebox.h"

Sifre::Sifre(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Sifre>())
{
    ui->setupUi(this);
}

Sifre::~Sifre() = default;

QString Sifre::password() const { return ui->txtSifre->text(); }

void Sifre::on_btnTamam_clicked()
{
    if (ui->txtSifre->text().isEmpty()) {
        MessageBox::critical(this, tr("Hata"), tr("Lütfen geçerli bir şifre girin!"), tr("OK"));
        ui->txtSifre->setFocus();
        return;
    }
    accept();
}

void Sifre::on_btnIptal_clicked() { reject(); }
