#ifndef CSVEXPORT_H
#define CSVEXPORT_H

#include <QByteArray>
#include <QString>

struct ArchiveSeries;

// The instantaneous records of a span of an archived file as CSV, for a
// spreadsheet or a script: UTF-8 without byte order mark, CR LF line ends,
// fields quoted as RFC 4180 says where they hold a comma, a quote or a line
// end.
//
//   time,Seviye [m],Sıcaklık [C]
//   2013-12-07T14:30,10.00,100.00
//
// One line per record with from <= time <= to (seconds); values with "." and
// two decimals, an empty field where a channel has no value.
namespace CsvExport {

QByteArray document(const ArchiveSeries &series, double from, double to);

// Replaces the file at path (never half-written); false with the reason in
// errorText.
bool write(const QString &path, const ArchiveSeries &series, double from, double to,
           QString *errorText = nullptr);

// "<station number>_<ddMMyy>.csv" of the file's install date.
QString defaultFileName(const ArchiveSeries &series);

} // namespace CsvExport

#endif // CSVEXPORT_H
