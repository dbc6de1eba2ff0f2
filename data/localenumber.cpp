#include "localenumber.h"

#include <QLocale>

namespace LocaleNumber {

float toFloat(const QString &text)
{
    bool ok = false;
    float value = QLocale().toFloat(text, &ok);
    if (ok)
        return value;
    value = QLocale::c().toFloat(text, &ok);
    return ok ? value : 0.0f;
}

} // namespace LocaleNumber
