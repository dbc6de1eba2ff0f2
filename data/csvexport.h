#ifndef CSVEXPORT_H
#define CSVEXPORT_H

#include <QByteArray>
#include <QString>

#include <vector>

struct ArchiveSeries;

// The instantaneous records of a span of an archived file as CSV, for a
// spreadsheet or a script: UTF-8 without byte order mark, CR LF line ends,
// fields quoted as RFC 4180 says where they hold the separator, a quote or a
// line end.
//
//   time,Seviye [m],Sıcaklık [C]
//   2013-12-07T14:30,10.00,100.00
//   2013-12-07T14:45,,
//
// One line for every record slot with from <= time <= to (seconds), on the
// file's own record interval: a record's line holds its values with two
// decimals (an empty field where a channel has no value), a slot whose
// record is missing, or where the logger was off, has both fields empty.
// The slots of a hole go on from the record before it at the interval, so a
// logger that comes back off its old beat gets its own line, not a slot
// next to it.
namespace CsvExport {

// "," between fields and "." in numbers, for scripts and most programs; ";"
// and "," for a spreadsheet under Turkish (and most European) settings,
// which reads "," as the decimal mark.
struct Format {
    char separator = ',';
    char decimal = '.';
};
Format spreadsheetFormat();

// A column "Debi [<unit>]" after the channels: the flow of each record from
// the station's rating curve, with three decimals, empty where the rating
// gives none. values runs parallel to the series' times.
struct FlowColumn {
    QString unit;
    std::vector<float> values;
};

QByteArray document(const ArchiveSeries &series, double from, double to, const Format &format = Format(),
                    const FlowColumn *flow = nullptr);

// Replaces the file at path (never half-written); false with the reason in
// errorText.
bool write(const QString &path, const QByteArray &document, QString *errorText = nullptr);

// "<station number>_<ddMMyyhhmm of the first line>_<ddMMyyhhmm of the last
// line>.csv" of the span's document.
QString defaultFileName(const ArchiveSeries &series, double from, double to);

} // namespace CsvExport

#endif // CSVEXPORT_H
