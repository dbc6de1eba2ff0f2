#include "localenumber.h"

#include <QLocale>

namespace LocaleNumber {

namespace {

// A thousands separator is never accepted: under Turkish settings "1.500"
// would otherwise read as 1500, and under English settings "1,234" as 1234.
bool read(QLocale locale, const QString &text, float *value)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    *value = locale.toFloat(text, &ok);
    return ok;
}

bool read(QLocale locale, const QString &text, double *value)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    if (ok)
        *value = number;
    return ok;
}

} // namespace

float toFloat(const QString &text)
{
    float value = 0.0f;
    if (read(QLocale(), text, &value) || read(QLocale::c(), text, &value))
        return value;
    return 0.0f;
}

bool toDouble(const QString &text, double *value)
{
    return read(QLocale(), text, value) || read(QLocale::c(), text, value);
}

} // namespace LocaleNumber
