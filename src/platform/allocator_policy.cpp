#include "platform/allocator_policy.h"

#include <malloc.h>

namespace quillark {

void KeepFreedMemoryForReuse() {
    constexpr int kRetainedBytes = 64 * 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, kRetainedBytes);
    mallopt(M_MMAP_THRESHOLD, kRetainedBytes);
}

}  // namespace quillark
