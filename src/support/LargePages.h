#pragma once

// Lets the heap that the rest of the run allocates from be backed by 2 MB pages where the system
// gives them on request (transparent huge pages in "madvise" mode, the usual default): the rows
// of a large library are millions of small blocks, and faulting them in 4 KB at a time costs a
// tenth of a browse. The heap then grows in steps of HeapStep bytes of address space, which take
// memory only as they are used. Nothing happens where the system keeps strict account of address
// space (it would hold the whole step) or without glibc. Call once, early in main.
void PreferLargePagesForHeap();
