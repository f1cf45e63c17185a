#include "core/library/title_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/library/records.h"
#include "core/platform/memory.h"

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kNameBlock = 1 << 16;
}  // namespace

CTitleStore::~CTitleStore() {
    for (const CHUNK& c : m_chunks) lv::platform::FreePages(c.p, c.n);
}

void CTitleStore::NewChunk(std::size_t n) {
    // Whole huge pages: a million titles' texts take tens of thousands of
    // page faults in small pages. Pages never touched cost nothing.
    const std::size_t size = (std::max(n, m_chunkSize) + kHugePage - 1) / kHugePage * kHugePage;
    void* p = lv::platform::AllocatePages(size);
    if (!p) throw std::bad_alloc();
    lv::platform::AdviseHugePages(p, size);
    m_chunks.push_back({p, size});
    m_chunk = static_cast<char*>(p);
    m_used = 0;
    m_room = size;
}

void CTitleStore::ReleaseUnused() {
    if (m_chunks.empty()) return;
    const std::size_t page = lv::platform::PageSize();
    const std::size_t keep = (m_used + page - 1) / page * page;
    if (keep < m_room) lv::platform::DiscardPages(m_chunk + keep, m_room - keep);
}

void CTitleStore::AddDisc(const std::array<std::string, 5>& times) {
    m_discTimes.insert(m_discTimes.end(), times.begin(), times.end());
}

std::string_view CTitleStore::FileName(const CRDTitleInfo& title) const {
    const std::lock_guard lock(m_lock);
    auto slot = [this](const char* key) -> NAME& {
        const std::size_t mask = m_names.size() - 1;
        std::size_t i = (reinterpret_cast<std::uintptr_t>(key) * 0x9E3779B97F4A7C15ULL >> 20) & mask;
        while (m_names[i].key && m_names[i].key != key) i = (i + 1) & mask;
        return m_names[i];
    };
    if ((m_nameCount + 1) * 2 > m_names.size()) {
        std::vector<NAME> old(std::max<std::size_t>(1024, m_names.size() * 2));
        old.swap(m_names);
        for (const NAME& n : old)
            if (n.key) slot(n.key) = n;
    }
    NAME& found = slot(title.m_text);
    if (found.key) return found.name;
    const std::string_view parts[] = {title.Field(TF_DATE), title.Field(TF_TIME), title.Field(TF_CHANNEL)};
    std::size_t n = 0;
    for (const auto& p : parts) n += p.size();
    if (m_nameRoom - m_nameUsed < n + 5) {
        m_nameRoom = std::max(kNameBlock, n + 5);
        m_nameBlocks.push_back(std::make_unique_for_overwrite<char[]>(m_nameRoom));
        m_nameUsed = 0;
    }
    char* const out = m_nameBlocks.back().get() + m_nameUsed;
    const std::size_t length = WriteTextFileName(out, parts[0], parts[1], parts[2]);
    m_nameUsed += length + 1;
    found = {title.m_text, std::string_view(out, length)};
    ++m_nameCount;
    return found.name;
}
