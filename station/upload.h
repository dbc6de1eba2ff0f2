#ifndef UPLOAD_H
#define UPLOAD_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The parameter upload as a plain value, read from the "Parametre Bilgileri"
// tab by the form; Commands::par() turns it into the frame.
struct UploadRequest {
    QString password;          // as typed, not trimmed
    int fileAction = 0;        // 0 erase everything, 1 keep the latest file and start a new one
    QString serialNo;          // the texts below already trimmed by the form
    QString stationName;
    QString stationNo;
    bool waitFullHour = false; // cbKayitTamSaat
    bool well = false;         // rbKuyu
    bool rs485 = false;        // cbRS485
    QDateTime clock;           // the computer's local time
    float offset = 0.0f;       // already converted with the locale-aware rule
    QString channel1Unit;      // as the combo box shows it, empty when none is selected
    QString channel1Name;
    QString recordInterval;
    bool instantRecord = false;   // rbAnlikKayit
    bool instantMinMax = false;   // rbAnlikMinMax
    bool recordAverage = false;   // rbKayittakiVerOrt
};

namespace Upload {

// "ddMMyyhhmmss" and the day of the week, 1 Monday .. 7 Sunday: 13 characters.
QString clockText(const QDateTime &clock);

// The offset typed by the user: the user's locale first, then the C locale;
// 0 when neither accepts the text.
float parseLocaleNumber(const QString &text);

// The trace of an upload for "temp.txt": STX written as the three characters
// "\02", CR as "\0d", every other character as its first UTF-8 byte. The password (given so that
// it can be found in the frame) is written as one '*' per character.
QByteArray traceText(const QByteArray &frame, const QString &password);

} // namespace Upload

#endif // UPLOAD_H
