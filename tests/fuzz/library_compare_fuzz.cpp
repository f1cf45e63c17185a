// libFuzzer target: two library files, the input before its first NUL byte
// and the rest. Compared as files (the lines both share at their ends left
// out), they must give the news their loaded titles give.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/new_titles.h"
#include "core/library/recorder_library.h"
#include "fuzz/fuzz_file.h"

namespace {

std::vector<CRDTitleInfo> Loaded(const std::string& path) {
    CRDRecorderLibrary lib("RD");
    lib.SetModel("RD-XS41");
    (void)lib.LoadTitleList(path);
    return lib.Titles();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
    const std::string before = lv::fuzz::WriteScratch("Before.csv", bytes.substr(0, cut));
    const std::string after = lv::fuzz::WriteScratch("After.csv", bytes.substr(std::min(cut + 1, bytes.size())));
    if (!(CompareLibraryFiles("RD-XS41", before, after) == CompareLibraries(Loaded(before), Loaded(after))))
        std::abort();
    return 0;
}
