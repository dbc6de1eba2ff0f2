#ifndef PEAKMEMORY_H
#define PEAKMEMORY_H

// The most memory the process has held at once so far, in KiB: what a
// user of vlxdecode --stats or a benchmark wants to know of a run on a small
// laptop. 0 where the system does not tell.
long peakMemoryKiB();

#endif // PEAKMEMORY_H
