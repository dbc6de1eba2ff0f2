#include "converter.h"

#include <cstring>

Converter::Converter(QObject *parent)
    : QObject(parent)
{
}

float Converter::hexToFloat(const QString &hex) const
{
    quint32 bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits <<= 4;
        if (i >= hex.size())
            continue;
        const char16_t c = hex.at(i).unicode();
        if (c >= u'0' && c <= u'9')
            bits |= quint32(c - u'0');
        else if (c >= u'A' && c <= u'F')
            bits |= quint32(c - u'A' + 10);
        else if (c >= u'a' && c <= u'f')
            bits |= quint32(c - u'a' + 10);
    }
    return fromBits(bits);
}

float Converter::fromBits(quint32 bits)
{
    // The sign is applied to the magnitude by negation, so the pattern
    // 80 00 00 00 becomes 0.0 and never -0.0.
    const quint32 magnitudeBits = bits & 0x7FFFFFFFu;
    float magnitude;
    std::memcpy(&magnitude, &magnitudeBits, sizeof magnitude);
    if ((bits & 0x80000000u) == 0 || magnitudeBits == 0)
        return magnitude;
    return -magnitude;
}
