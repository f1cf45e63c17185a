// libFuzzer target: whole cache files. The input up to its first NUL byte is
// the disc list, the rest the library list, loaded for every model class.
#include "core/library/recorder_library.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
    const std::string disc = lv::fuzz::WriteScratch("Disc.csv", bytes.substr(0, cut));
    const std::string library = lv::fuzz::WriteScratch("Library.csv", bytes.substr(std::min(cut + 1, bytes.size())));
    for (const char* model : {"", "RD-XS40", "RD-XS41", "RD-Z1"}) {
        CRDRecorderLibrary lib("RD");
        lib.SetModel(model);
        (void)lib.LoadDiscList(disc);
        (void)lib.LoadTitleList(library);
        for (int i = 0; i < lib.GetTitleCount(); ++i) {
            TITLEINFO info;
            lib.GetTitleInfo(i, info);
        }
    }
    return 0;
}
