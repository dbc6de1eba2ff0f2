#ifndef ARCHIVERULES_H
#define ARCHIVERULES_H

#include "stationarchive.h"

#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

// What the archive does with a downloaded file, whatever database holds it.
// A file is known by its station number and install time, and the archive
// never deletes history on its own: a download shorter than what is stored
// (a transfer cut short) adds nothing and takes nothing away, and a download
// that disagrees with the stored records (a memory erased and written again
// under the same install time) goes in beside them as a revision of that
// file. The rules only decide; the database code reads the stored rows they
// ask for and carries the decision out.
namespace ArchiveRules {

// The stored rows of one archived file (an entry; the same file may have
// several, the later ones revisions of the first).
struct Entry {
    qint64 id = 0;
    qint64 storedRows = 0;
};

struct Decision {
    enum Kind {
        NewEntry,   // nothing stored agrees: a file entry of its own
        Extend,     // `entry` agrees: the download's rows from storedRows on are new
        Revision,   // the download disagrees with every entry: a new entry revising `entry`
        Failed      // a stored row could not be read
    };
    Kind kind = NewEntry;
    qint64 entry = 0;
    qint64 storedRows = 0;
};

// Reads the stored row of an entry at a place (0 is its first row); an
// empty row when there is none there. False when it cannot be read.
using RowReader = std::function<bool(qint64 entry, qint64 place, std::optional<ArchiveRow> &row)>;

// The places where an entry's stored rows and a download's rows are
// compared: the first, the middle and the last place both have. Records only
// ever grow at a file's end, so rows that agree there agree throughout; a
// rewritten memory differs at one of them (its first record after the time
// stamp already lies later).
std::vector<qint64> comparedPlaces(qint64 storedRows, qint64 downloadedRows);

// A stored row is the download's row: time, type, channel and value alike.
bool sameRow(const ArchiveRow &stored, const ArchiveRow &downloaded);

// The entries newest first. The newest one that agrees takes the download;
// when none does, the download becomes a revision of the newest.
Decision decide(const std::vector<Entry> &entries, const std::vector<ArchiveRow> &rows,
                const RowReader &readRow);

} // namespace ArchiveRules

#endif // ARCHIVERULES_H
