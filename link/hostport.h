#ifndef HOSTPORT_H
#define HOSTPORT_H

#include <QString>

// The GPRS target as an operator types it: "host", "host:port" or
// "[v6-address]:port"; a plain host keeps the logger's port 80. The form's
// host field and the collector's station file read it the same way.
//
//   QString host; quint16 port;
//   if (!splitHostPort(QStringLiteral("[fe80::1]:8080"), &host, &port)) { /* refused */ }
bool splitHostPort(const QString &text, QString *host, quint16 *port);

#endif // HOSTPORT_H
