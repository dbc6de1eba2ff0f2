#include "sifredegistir.h"
#include "ui_sifredegistir.h"

#include "messagebox.h"

SifreDegistir::SifreDegistir(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::SifreDegistir>())
{
    ui->setupUi(this);
}

SifreDegistir::~SifreDegistir() = default;

QString SifreDegistir::oldPassword() const { return ui->txtEskiSifre->text(); }

QString SifreDegistir::newPassword() const { return ui->txtYeniSifre->text(); }

void SifreDegistir::refuse(const QString &text)
{
    MessageBox::critical(this, tr("Hata"), text, tr("Tamam"));
}

void SifreDegistir::on_btnTamam_clicked()
{
    if (ui->txtEskiSifre->text().isEmpty()) {
        refuse(tr("Lütfen geçerli şifreyi girin!"));
        ui->txtEskiSifre->setFocus();
        return;
    }
    if (ui->txtYeniSifre->text().isEmpty()) {
        refuse(tr("Lütfen geçerli bir şifre girin!"));
        ui->txtYeniSifre->setFocus();
        return;
    }
    // Exact comparison: passwords are case-sensitive and blanks count.
    if (ui->txtYeniSifre->text() != ui->txtYeniSifreTekrar->text()) {
        refuse(tr("Girilen yeni şifre bilgileri aynı değil!"));
        ui->txtYeniSifre->setFocus();
        ui->txtYeniSifre->selectAll();
        return;
    }
    accept();
}

void SifreDegistir::on_btnIptal_clicked() { reject(); }
