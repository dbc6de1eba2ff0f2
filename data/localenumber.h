#ifndef LOCALENUMBER_H
#define LOCALENUMBER_H

#include <QString>

// Numbers typed by the user or kept in the user's files: read with the user's
// locale first, then in C notation; 0 when neither accepts the text. A group
// (thousands) separator is refused by both: "1.500" is 1.5, never 1500.
namespace LocaleNumber {

float toFloat(const QString &text);

// The same reading in double precision; false, with *value untouched, when
// neither locale accepts the text (rating tables tell a bad number from 0).
bool toDouble(const QString &text, double *value);

} // namespace LocaleNumber

#endif // LOCALENUMBER_H
