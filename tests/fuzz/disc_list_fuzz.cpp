// libFuzzer target: any bytes as the library list of a recorder that serves no
// disc list; the disc list derived from it is written and must load back.
#include <cstdlib>

#include "core/library/recorder_library.h"
#include "core/net/http_thread.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string library = lv::fuzz::WriteScratch("Library.csv", lv::fuzz::AsText(data, size));
    const std::string disc = lv::fuzz::ScratchDir() + "Disc.csv";
    CDownloadLibraryThread thread(lv::fuzz::ScratchDir(), PROXY_SETTINGS{}, nullptr);
    if (!thread.BuildDiscList(library, disc)) return 0;
    CRDRecorderLibrary lib("RD");
    lib.SetModel("RD-XS40");
    if (!lib.LoadDiscList(disc)) std::abort();
    (void)lib.LoadTitleList(library);
    return 0;
}
