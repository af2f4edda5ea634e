#include "util/allocator.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse() {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}
