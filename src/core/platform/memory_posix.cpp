#include "core/platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace lv::platform {

std::size_t PageSize() { return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }

void* AllocatePages(std::size_t size) {
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void FreePages(void* p, std::size_t size) { ::munmap(p, size); }

void AdviseHugePages([[maybe_unused]] void* p, [[maybe_unused]] std::size_t size) {
#ifdef MADV_HUGEPAGE
    ::madvise(p, size, MADV_HUGEPAGE);
#endif
}

void DiscardPages(void* p, std::size_t size) { ::madvise(p, size, MADV_DONTNEED); }

}  // namespace lv::platform
