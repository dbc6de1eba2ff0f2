#ifndef TEXTEXPORT_H
#define TEXTEXPORT_H

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;
class VLXData;
class VLXFile;
struct CompactFile;

// The pipe-separated text export of a decoded logger file: nine header lines,
// one line per record, then "SSS" without a line end. UTF-8, every line ends
// in CR LF on every platform.
//
//   QBuffer buffer; buffer.open(QIODevice::WriteOnly);
//   TextExport::write(file, buffer);
//   TextExport::recordLine(record);   // "07/12/2013|14:30|ANL|10.00|100.00| \r\n"
//
// VLXFile::exportText() writes the same bytes to its export path.
namespace TextExport {

// "ANL", "MAX", "MIN", "ORT" for the type codes 0 to 3; empty otherwise.
QByteArray typeName(int type);

// '*' after a time stamp, else 'H' for a missing record, else ' ' for an
// instantaneous measurement, else '#'.
char mark(const VLXData &record);
char markOf(bool timeSet, bool missing, int type);

// A value with exactly two decimals ("10.00", "-1.00", "nan", "inf").
QByteArray valueText(float value);

// A text of the logger's (station, channel names, units) as the export
// writes it: control characters become blanks and "|" becomes "/", so that
// no logger text can add a line or a column.
QByteArray headerText(const QString &text);

// Lines 1 to 9.
QByteArray header(const VLXFile &file);
QByteArray header(const CompactFile &file);

// One record line with its CR LF.
QByteArray recordLine(const VLXData &record);

// The whole export; false when the device refused a write.
bool write(const VLXFile &file, QIODevice &out);
bool write(const CompactFile &file, QIODevice &out);

// Writes a whole file at path through `write`: replaced only when all of it
// was written; on failure the previous file stays, and errorText says why.
bool save(const QString &path, const std::function<bool(QIODevice &)> &write, QString *errorText);
bool save(const CompactFile &file, const QString &path, QString *errorText = nullptr);

// The whole export in memory.
QByteArray document(const VLXFile &file);

} // namespace TextExport

#endif // TEXTEXPORT_H
