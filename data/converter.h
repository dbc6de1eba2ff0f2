#ifndef CONVERTER_H
#define CONVERTER_H

#include <QObject>
#include <QString>

// Turns the logger's 4-byte measurement values into numbers.
//
//   Converter c;
//   float v = c.hexToFloat(QStringLiteral("41200000"));   // 10.0
//   float w = Converter::fromBits(0x42C80000u);            // 100.0
//
// A value is an IEEE-754 single-precision number stored most significant byte
// first. The logger writes a negative zero now and then; it reads as plus zero.
class Converter : public QObject
{
    Q_OBJECT
public:
    explicit Converter(QObject *parent = nullptr);

    // hex: 8 hexadecimal digits (upper or lower case), most significant byte
    // first. Missing or non-hexadecimal digits count as 0.
    float hexToFloat(const QString &hex) const;

    // The same conversion from the 32 bits of the value.
    static float fromBits(quint32 bits);
};

#endif // CONVERTER_H
