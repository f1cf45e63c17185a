#include "core/platform/memory.h"

#include <windows.h>

namespace lv::platform {

std::size_t PageSize() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwPageSize;
}

void* AllocatePages(std::size_t size) {
    // Committed pages are backed only when first touched.
    return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePages(void* p, std::size_t) { ::VirtualFree(p, 0, MEM_RELEASE); }

// Huge pages need a privilege that ordinary users lack.
void AdviseHugePages(void*, std::size_t) {}

void DiscardPages(void* p, std::size_t size) {
    if (size) ::VirtualAlloc(p, size, MEM_RESET, PAGE_READWRITE);
}

}  // namespace lv::platform
