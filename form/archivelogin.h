#ifndef ARCHIVELOGIN_H
#define ARCHIVELOGIN_H

#include <QString>

class PgConnection;
class QWidget;

// The program's side of an archive on a PostgreSQL server: connecting with
// the password prompt, and the settings field's "Bağlantıyı dene". A server
// that wants a password libpq's own means (PGPASSWORD, ~/.pgpass, PGPASSFILE)
// do not give gets it from a masked prompt; the password typed stays in
// memory for this run (ArchiveLocation::setPassword) and is never written to
// settings.ini or a log.
namespace ArchiveLogin {

// Opens `connection` to url, asking for the password as long as the server
// refuses the one given and the user does not cancel. The password that
// worked (empty when none was typed) in *password.
bool open(QWidget *parent, PgConnection &connection, const QString &url, QString *password);

// Connects this thread to the program's archive server (ArchiveLocation::current()),
// asking for the password when needed. False with the reason, naming the server.
bool connectCurrent(QWidget *parent, QString *error);

// The settings field's button: tries url (empty: the local data.db), tells
// the outcome in a box, and on success keeps it as Archive/url and makes it
// the program's archive unless VLXLOGGER_ARCHIVE decides. True when the
// archive changed.
bool tryAndUse(QWidget *parent, const QString &url);

} // namespace ArchiveLogin

#endif // ARCHIVELOGIN_H
