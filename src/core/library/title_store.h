#pragma once
// What one load of a recorder's Library.csv keeps for its titles: their
// texts, one block after another in large chunks; the discs' remaining times
// as they were at load; and the description file names made when first asked.
#include <array>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CRDTitleInfo;

class CTitleStore {
public:
    // expected: about the bytes the texts will take, to size the first chunk.
    explicit CTitleStore(std::size_t expected) : m_chunkSize(expected) {}
    CTitleStore(const CTitleStore&) = delete;
    CTitleStore& operator=(const CTitleStore&) = delete;
    ~CTitleStore();

    // The next disc's remaining times for settings 1 to 5, copied: later
    // changes of the disc do not reach the titles.
    void AddDisc(const std::array<std::string, 5>& times);
    const std::string& DiscTime(int disc, int setting) const {
        return m_discTimes[static_cast<std::size_t>(disc) * 5 + static_cast<std::size_t>(setting)];
    }

    // Room for n bytes that never move; Commit keeps the first `used` of them.
    // During the load only (one thread).
    char* Room(std::size_t n) {
        if (m_room - m_used < n) NewChunk(n);
        return m_chunk + m_used;
    }
    void Commit(std::size_t used) { m_used += used; }
    // Gives back the pages of the last chunk past what was kept.
    void ReleaseUnused();

    // A title's description file name, made on the first call; from any thread.
    std::string_view FileName(const CRDTitleInfo& title) const;

private:
    struct CHUNK {
        void* p;
        std::size_t n;
    };
    void NewChunk(std::size_t n);

    std::size_t m_chunkSize;
    std::vector<CHUNK> m_chunks;
    char* m_chunk = nullptr;
    std::size_t m_used = 0;
    std::size_t m_room = 0;
    std::vector<std::string> m_discTimes;

    mutable std::mutex m_lock;  // guards the names
    mutable std::vector<std::unique_ptr<char[]>> m_nameBlocks;
    mutable std::size_t m_nameUsed = 0;
    mutable std::size_t m_nameRoom = 0;
    // Names by the texts of their title: open addressing, at most half full.
    struct NAME {
        const char* key;
        std::string_view name;
    };
    mutable std::vector<NAME> m_names;
    mutable std::size_t m_nameCount = 0;
};
