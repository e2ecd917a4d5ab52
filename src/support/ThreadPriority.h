#pragma once

// Lowers the calling thread's scheduling priority ten steps below what it has (at most to the
// lowest). Helper threads that mostly wait for the storage (readers, folder listings) take, where
// they compute instead (a warm cache), mostly what the thread that started them leaves, often the
// window's. Not the lowest priority: there any other busy program on the machine (a build, an
// indexer) starves them, and the thread that waits for their work waits with them (four times
// longer beside a build at priority 10).
void LowerThreadPriority();
