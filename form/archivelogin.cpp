#include "archivelogin.h"

#include "archivelocation.h"
#include "database.h"
#include "messagebox.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgschema.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QSettings>
#include <QSqlDatabase>

namespace {

// The texts' context for the translations.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ArchiveLogin)
};

} // namespace

namespace ArchiveLogin {

bool open(QWidget *parent, PgConnection &connection, const QString &url, QString *password)
{
    password->clear();
    QString typed;
    while (!connection.open(url, typed)) {
        // A typed password the server refused asks again; libpq tells
        // "needs a password" only when none was given.
        const bool refused = !typed.isEmpty() && connection.errorText().contains(QLatin1String("password"));
        if (!connection.needsPassword() && !refused)
            return false;
        bool ok = false;
        typed = QInputDialog::getText(parent, Text::tr("Veritabanı parolası"),
                                      Text::tr("%1 için parola:").arg(PgConnection::displayName(url)),
                                      QLineEdit::Password, QString(), &ok);
        if (!ok || typed.isEmpty())
            return false;
    }
    *password = typed;
    return true;
}

bool connectCurrent(QWidget *parent, QString *error)
{
    const ArchiveLocation where = ArchiveLocation::current();
    if (!where.isServer())
        return true;
    if (ArchiveLocation::serverConnection()->isOpen())
        return true;
    PgConnection trial;
    QString password;
    if (!open(parent, trial, where.url, &password)) {
        *error = trial.errorText();
        return false;
    }
    trial.close();
    ArchiveLocation::setPassword(password);
    const auto connection = ArchiveLocation::serverConnection();
    *error = connection->errorText();
    return connection->isOpen();
}

bool tryAndUse(QWidget *parent, const QString &url)
{
    const QString text = url.trimmed();
    QString password;
    QString problem;
    if (!text.isEmpty()) {
        PgConnection trial;
        if (!ArchiveLocation::isServerUrl(text))
            problem = Text::tr("Bir PostgreSQL adresi değil (postgresql://kullanıcı@sunucu:port/veritabanı).");
        else if (!PgConnection::passwordIn(text).isEmpty())
            // The address goes into settings.ini, where no password may.
            problem = Text::tr("Adreste parola olmasın: parola bağlanırken sorulur ya da PGPASSWORD veya "
                               "parola dosyasından okunur.");
        else if (PgConnection::parses(text, &problem)) {
            // A first user with the right to makes the tables here.
            if (!open(parent, trial, text, &password))
                problem = trial.errorText();
            else
                PgSchema::ensure(trial, &problem);
        }
        if (!problem.isEmpty()) {
            MessageBox::critical(parent, Text::tr("Veritabanı"), Text::tr("Bağlantı kurulamadı:") + QLatin1Char('\n') + problem);
            return false;
        }
    }
    QSettings(Paths::settingsFile(), QSettings::IniFormat).setValue(QLatin1String(ArchiveLocation::settingsKey), text);
    const QString shown = text.isEmpty() ? Paths::databaseFile() : PgConnection::displayName(text);
    if (!qEnvironmentVariable(ArchiveLocation::environmentVariable).trimmed().isEmpty()) {
        MessageBox::information(parent, Text::tr("Veritabanı"),
                                Text::tr("Arşiv ayarı kaydedildi: %1\nBu çalışmada VLXLOGGER_ARCHIVE ortam "
                                   "değişkeninin arşivi kullanılıyor.")
                                    .arg(shown));
        return false;
    }
    QString ignored;
    ArchiveLocation::setCurrent(ArchiveLocation::resolve(QString(), ArchiveLocation::UrlOnly, &ignored));
    ArchiveLocation::setPassword(password);
    if (text.isEmpty() && !QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen())
        openDatabase();
    MessageBox::information(parent, Text::tr("Veritabanı"), Text::tr("Arşiv: %1").arg(shown));
    return true;
}

} // namespace ArchiveLogin
