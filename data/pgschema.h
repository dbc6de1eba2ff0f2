#ifndef PGSCHEMA_H
#define PGSCHEMA_H

#include <QString>

class PgConnection;

// The archive's tables on a PostgreSQL server, in types fit for it: `data`
// and `datadetay` with the columns the program reads (install and record
// times as timestamp, date and time, values as double precision, ids as
// bigint identities), `data_revision` (revision marks and the per-entry
// change counter the chart's cache is stamped with), `archive_change` (one
// counter every store raises, which a chart elsewhere watches), the
// collection log `collection`, the kept memory copies `memory_copy`, and
// `schema_version`, so that a later version knows what it finds.
//
// ensure() creates what is missing when the user may (under a lock, so that
// two first users do not trip over each other); a user who may not gets an
// error naming the missing table and the server.
namespace PgSchema {

constexpr int version = 1;

bool ensure(PgConnection &server, QString *error);

} // namespace PgSchema

#endif // PGSCHEMA_H
