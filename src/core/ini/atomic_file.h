#pragma once
// Replacing a file so that a crash or a kill at any moment leaves either the
// old content or the new one, never a half-written file.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/file.h"

namespace lv {

// Writes `bytes` to a temporary file beside `path` ("<path>.~XXXXXX"),
// flushes it to disk and renames it over `path`. `mode`, when given, is the
// exact permission set of the result (0600 for files holding passwords);
// otherwise an existing file keeps its permissions and a new one gets the
// usual 0666 less the umask (on POSIX; see platform::SetPermissions). A symbolic link is kept: its target is replaced.
// Only a regular file or nothing is replaced (see RefuseSpecialFile). On
// failure the old file is untouched, the temporary file is removed and
// `error` (when given) says why.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::optional<unsigned> mode = std::nullopt,
                     std::string* error = nullptr);
// The same with content made in pieces: `produce` passes each to the writer it
// gets, which returns false (errno set) when the write failed; `produce`
// returns false to give up, and the old file stays.
using FileWriter = std::function<bool(std::string_view)>;
bool WriteFileAtomic(const std::string& path, const std::function<bool(const FileWriter&)>& produce,
                     std::optional<unsigned> mode = std::nullopt, std::string* error = nullptr);

// An empty new file named `stem` plus a unique six-character suffix, for
// content written in several steps and then put in place by CommitFile.
// Readable by the owner only, as mkstemp makes it. Empty on failure.
std::string CreateTempFile(const std::string& stem, std::string* error = nullptr);

// The same holding `bytes`, written in one go and closed; empty with errno
// set on failure.
std::string WriteTempFile(const std::string& stem, std::string_view bytes);

// Whether the regular file `path` holds exactly `bytes`: then a replace would
// change nothing.
bool HoldsBytes(const std::string& path, std::string_view bytes);

// Flushes the finished temporary file `tmp` to disk and renames it over
// `path`, so that `path` is old or new, never torn. On failure both stay as
// they were and `error` (when given) says why; the caller removes `tmp`.
// Refused, as by WriteFileAtomic, when `path` is no regular file.
bool CommitFile(const std::string& tmp, const std::string& path, std::string* error = nullptr);

// Finished temporary files that replace their files together, for many small
// files written one after another: one flush of the file system, the renames,
// one flush of each folder, instead of two flushes a file. Until the commit
// every file is old; a kill during it leaves each file old or new. Temporaries
// not committed are removed with the batch (a killed one's go with
// RemoveStaleTemps).
class CommitBatch {
public:
    CommitBatch() = default;
    ~CommitBatch() { Discard(); }
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // `tmp`, closed and complete, is to replace `path` at the commit.
    void Add(std::string tmp, std::string path) { m_files.emplace_back(std::move(tmp), std::move(path)); }
    std::size_t Size() const { return m_files.size(); }
    // Puts every file in place and empties the batch. A file that cannot be
    // replaced (see CommitFile) keeps its old content and the others still go
    // in place; false then, with the first such file in `failed` and errno
    // set. When the flush fails, no file is replaced.
    bool Commit(std::string* failed = nullptr);
    // Removes the temporaries; the files stay old.
    void Discard();

private:
    std::vector<std::pair<std::string, std::string>> m_files;  // temporary, destination
};

// The name a transfer's temporary files take in a recorder's cache folder,
// followed by a suffix as CreateTempFile makes it.
inline constexpr char kTransferTempPrefix[] = "~RD";

// Removes what a killed save or transfer left behind: the regular files of
// `folder` named `prefix` followed by exactly six characters of [a-z0-9] (the
// suffix CreateTempFile and WriteFileAtomic add), last written before
// `before`, so that the temporary file of a transfer or save still running
// stays. Returns how many went.
int RemoveStaleTemps(const std::string& folder, std::string_view prefix, std::filesystem::file_time_type before);

// Whether `path` exists but is no regular file, for a message that says so.
using platform::IsSpecialFile;

// True, with "<file name>: not a regular file" in `error` (when given) and
// errno set as IsSpecialFile sets it, when `path` (a link followed) is there
// but is no regular file: a folder, a FIFO, a device. Such a file is never
// replaced or written into by the program.
bool RefuseSpecialFile(const std::string& path, std::string* error);

// The whole file, opened as platform::OpenRegularFile opens it; false when it
// cannot be opened or read. A missing file sets `missing` (when given) so
// callers can treat it as empty.
bool ReadWholeFile(const std::string& path, std::string& bytes, bool* missing = nullptr);

}  // namespace lv
