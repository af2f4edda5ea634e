// How the process's allocator keeps freed memory.
#pragma once

// Keeps the memory a solve frees for the next one instead of handing it back to the system at
// once. A power stage's swing analysis fills a few megabytes of samples and a picture a few more;
// by default each solve would take them again as fresh pages (zeroed by the kernel, one fault a
// page), which on these machines cost as much as the analysis itself. Up to 64 MiB of freed memory
// stays with the process, and allocations under 32 MiB come from the heap, not from mappings of
// their own. Call once, first thing in main; where the C library has no such settings it does
// nothing.
void keepFreedMemoryForReuse();
