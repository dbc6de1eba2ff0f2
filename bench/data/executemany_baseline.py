#!/usr/bin/env python3
"""The floor a plain script sets for the archive write: the rows the benchmark
dumped, inserted with sqlite3.executemany into a copy of the program's empty
archive (the same tables and the same index), in one transaction.

    executemany_baseline.py ROWS DATABASE

ROWS holds one row per line: date, time, type, value, channel, time-set mark,
separated by tabs. Prints the seconds of the insert and the commit (the log
given back as the program does), the rows read and the rows in the table.
"""
import sqlite3
import sys
import time


def main():
    rows_path, db_path = sys.argv[1], sys.argv[2]
    names = ("Seviye", "Sicaklik")
    rows = []
    with open(rows_path, encoding="ascii") as f:
        for line in f:
            date, clock, kind, value, channel, mark = line.rstrip("\n").split("\t")
            ch = int(channel)
            rows.append((1, date, clock, int(kind), float(value), ch, names[ch - 1], int(mark)))
    db = sqlite3.connect(db_path, isolation_level=None)
    db.execute("PRAGMA journal_mode=WAL")
    start = time.perf_counter()
    db.execute("BEGIN IMMEDIATE")
    db.execute("CREATE INDEX IF NOT EXISTS datadetay_data ON datadetay (data)")
    db.execute("INSERT INTO data (id, istasyonadi, istasyonno, kurulumtarihi, page, buff) "
               "VALUES (1, 'Baraj Istasyonu', '1234', '2013-12-07 00:00:00', 0, 0)")
    db.executemany("INSERT INTO datadetay (data, tarih, saat, tip, deger, chno, chname, timeset) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)", rows)
    db.execute("COMMIT")
    db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
    seconds = time.perf_counter() - start
    stored = db.execute("SELECT count(*) FROM datadetay").fetchone()[0]
    print(f"{seconds:.3f} {len(rows)} {stored}")


if __name__ == "__main__":
    main()
