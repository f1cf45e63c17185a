#include "core/library/title_store.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/library/records.h"

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kNameBlock = 1 << 16;
}  // namespace

CTitleStore::~CTitleStore() {
    for (const CHUNK& c : m_chunks) ::munmap(c.p, c.n);
}

void CTitleStore::NewChunk(std::size_t n) {
    // Whole huge pages: a million titles' texts take tens of thousands of
    // page faults in small pages. Pages never touched cost nothing.
    const std::size_t size = (std::max(n, m_chunkSize) + kHugePage - 1) / kHugePage * kHugePage;
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, size, MADV_HUGEPAGE);
#endif
    m_chunks.push_back({p, size});
    m_chunk = static_cast<char*>(p);
    m_used = 0;
    m_room = size;
}

void CTitleStore::ReleaseUnused() {
    if (m_chunks.empty()) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t keep = (m_used + page - 1) / page * page;
    if (keep < m_room) ::madvise(m_chunk + keep, m_room - keep, MADV_DONTNEED);
}

void CTitleStore::AddDisc(const std::array<std::string, 5>& times) {
    m_discTimes.insert(m_discTimes.end(), times.begin(), times.end());
}

std::string_view CTitleStore::FileName(const CRDTitleInfo& title) const {
    const std::lock_guard lock(m_lock);
    auto [it, added] = m_names.try_emplace(title.m_text, std::string_view());
    if (added) {
        const std::string name = MakeTextFileName(title.Field(TF_DATE), title.Field(TF_TIME), title.Field(TF_CHANNEL));
        if (m_nameRoom - m_nameUsed < name.size() + 1) {
            m_nameRoom = std::max(kNameBlock, name.size() + 1);
            m_nameBlocks.push_back(std::make_unique_for_overwrite<char[]>(m_nameRoom));
            m_nameUsed = 0;
        }
        char* out = m_nameBlocks.back().get() + m_nameUsed;
        std::memcpy(out, name.c_str(), name.size() + 1);
        m_nameUsed += name.size() + 1;
        it->second = std::string_view(out, name.size());
    }
    return it->second;
}
