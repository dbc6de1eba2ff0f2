#ifndef LINKBYTES_H
#define LINKBYTES_H

#include <QByteArray>
#include <QByteArrayList>

// The few byte patterns the link layer knows about the logger and the modem.
namespace LinkBytes {

constexpr char CR = 0x0D;
// A data block ends with three bytes 0xFB.
constexpr char BlockEndByte = static_cast<char>(0xFB);

// The end-of-transfer answer, recognised as a prefix.
inline QByteArray endOfTransfer() { return QByteArrayLiteral("BITTI"); }
// The modem's answer once a data call stands.
inline QByteArray connect() { return QByteArrayLiteral("CONNECT"); }
// The modem's answer once a command (the hang-up among them) was carried out.
inline QByteArray ok() { return QByteArrayLiteral("OK"); }
// The end of every modem answer.
inline QByteArray modemLineEnd() { return QByteArrayLiteral("\r\n"); }
// The modem's answers to a dial line that mean no call will come about.
inline QByteArrayList dialRefusals()
{
    return {QByteArrayLiteral("BUSY"), QByteArrayLiteral("NO CARRIER"), QByteArrayLiteral("NO ANSWER"),
            QByteArrayLiteral("NO DIALTONE"), QByteArrayLiteral("ERROR")};
}

inline bool endsWithBlockEnd(const QByteArray &buffer)
{
    return buffer.size() > 2 && buffer.endsWith(QByteArray(3, BlockEndByte));
}

} // namespace LinkBytes

#endif // LINKBYTES_H
