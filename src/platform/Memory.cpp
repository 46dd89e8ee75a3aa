#include "platform/Memory.h"

#include <malloc.h>

namespace zot {

void keepPictureMemory() {
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
}

} // namespace zot
