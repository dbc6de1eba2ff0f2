#ifndef DOWNLOADBUILDER_H
#define DOWNLOADBUILDER_H

#include <QByteArray>
#include <QtEndian>

// Builds logger memory contents byte by byte for the data tests, record kind
// by record kind, so that each test states its download in the logger's terms.
namespace DownloadBuilder {

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

inline QByteArray be32(quint32 bits)
{
    QByteArray out(4, '\0');
    qToBigEndian(bits, out.data());
    return out;
}

// Packed BCD: 7, 12, 13, 14, 30 -> 07 12 13 14 30
inline QByteArray bcdTime(int day, int month, int year, int hour, int minute)
{
    auto bcd = [](int n) { return char(((n / 10) << 4) | (n % 10)); };
    QByteArray out;
    out.append(bcd(day)).append(bcd(month)).append(bcd(year)).append(bcd(hour)).append(bcd(minute));
    return out;
}

inline QByteArray header(const QByteArray &name, const QByteArray &number, const QByteArray &time,
                         const QByteArray &interval, const QByteArray &ch1, const QByteArray &ch2,
                         const QByteArray &unit1, const QByteArray &unit2)
{
    QByteArray out = bytes({0xDD, 0xDD, 0xDD});
    out += name + '\x02' + number + '\x02' + time + interval + '\x02';
    out += ch1 + '\x02' + ch2 + '\x02' + unit1 + '\x02' + unit2 + '\x02';
    return out;
}

// The header of the worked example: ST1/1234, 7 December 2013 14:30, 15 minutes.
inline QByteArray exampleHeader()
{
    return header("ST1", "1234", bcdTime(7, 12, 13, 14, 30), bytes({0x00, 0x15}), "LVL", "TMP",
                  "m", "C");
}

inline QByteArray timeStamp(const QByteArray &time) { return bytes({0xFA, 0xFA, 0xFA}) + time; }

inline QByteArray measurement(quint32 first, quint32 second) { return be32(first) + be32(second); }

inline QByteArray missing() { return bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00}); }

// Daily summary: four (time, value, value) groups and the average's two values.
struct SummaryPart {
    QByteArray time;
    quint32 value1;
    quint32 value2;
};
inline QByteArray summary(const SummaryPart &a, const SummaryPart &b, const SummaryPart &c,
                          const SummaryPart &d, quint32 avg1, quint32 avg2)
{
    QByteArray out = bytes({0xF1, 0xF1, 0xF1});
    for (const SummaryPart &part : {a, b, c, d})
        out += part.time + be32(part.value1) + be32(part.value2);
    out += be32(avg1) + be32(avg2);
    return out;
}

// The erased rest of the memory that closes a download.
inline QByteArray erased(int count = 11) { return QByteArray(count, char(0xFF)); }

// The worked example: header, one record of 10.0 and 100.0, eleven bytes FF.
inline QByteArray example()
{
    return exampleHeader() + measurement(0x41200000, 0x42C80000) + erased(11);
}

} // namespace DownloadBuilder

#endif // DOWNLOADBUILDER_H
