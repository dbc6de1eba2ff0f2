#ifndef LOCALENUMBER_H
#define LOCALENUMBER_H

#include <QString>

// Numbers typed by the user or kept in the user's files: read with the user's
// locale first, then in C notation; 0 when neither accepts the text.
namespace LocaleNumber {

float toFloat(const QString &text);

} // namespace LocaleNumber

#endif // LOCALENUMBER_H
