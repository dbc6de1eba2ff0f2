#include "archiverules.h"

#include <algorithm>

namespace ArchiveRules {

std::vector<qint64> comparedPlaces(qint64 storedRows, qint64 downloadedRows)
{
    const qint64 both = std::min(storedRows, downloadedRows);
    if (both <= 0)
        return {};
    std::vector<qint64> places{0, both / 2, both - 1};
    places.erase(std::unique(places.begin(), places.end()), places.end());
    return places;
}

bool sameRow(const ArchiveRow &stored, const ArchiveRow &downloaded)
{
    // Stored times have whole seconds; the value is the logger's float,
    // kept as a double, so it compares exactly.
    return stored.msecs / 1000 == downloaded.msecs / 1000 && stored.type == downloaded.type
        && stored.channel == downloaded.channel && stored.value == downloaded.value;
}

Decision decide(const std::vector<Entry> &entries, const std::vector<ArchiveRow> &rows,
                const RowReader &readRow)
{
    for (const Entry &entry : entries) {
        bool agrees = true;
        for (qint64 place : comparedPlaces(entry.storedRows, qint64(rows.size()))) {
            std::optional<ArchiveRow> stored;
            if (!readRow(entry.id, place, stored))
                return {Decision::Failed, entry.id, entry.storedRows};
            if (!stored || !sameRow(*stored, rows[std::size_t(place)])) {
                agrees = false;
                break;
            }
        }
        if (agrees)
            return {Decision::Extend, entry.id, entry.storedRows};
    }
    if (entries.empty())
        return {Decision::NewEntry, 0, 0};
    return {Decision::Revision, entries.front().id, entries.front().storedRows};
}

} // namespace ArchiveRules
