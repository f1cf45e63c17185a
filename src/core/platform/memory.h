#pragma once
// Large blocks of memory straight from the system, in whole pages.
#include <cstddef>

namespace lv::platform {

// The size of a page of memory.
std::size_t PageSize();

// `size` bytes of zeroed read-write memory; pages cost nothing until first
// touched. Null on failure.
void* AllocatePages(std::size_t size);
void FreePages(void* p, std::size_t size);

// Asks for huge pages for [p, p + size), whole pages: a large table then
// takes a fault per 2 MiB instead of per page. Only where the system has them.
void AdviseHugePages(void* p, std::size_t size);

// Gives the memory of the whole pages [p, p + size) back to the system; what
// they held is lost.
void DiscardPages(void* p, std::size_t size);

}  // namespace lv::platform
