// libFuzzer target: whole cache files. The input up to its first NUL byte is
// the disc list, the rest the library list, loaded for every model class;
// each loaded title must equal its line parsed on its own.
#include <cstdlib>

#include "core/library/line_reader.h"
#include "core/library/recorder_library.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
    const std::string disc = lv::fuzz::WriteScratch("Disc.csv", bytes.substr(0, cut));
    const std::string_view lines = bytes.substr(std::min(cut + 1, bytes.size()));
    const std::string library = lv::fuzz::WriteScratch("Library.csv", lines);
    for (const char* model : {"", "RD-XS40", "RD-XS41", "RD-Z1"}) {
        CRDRecorderLibrary lib("RD");
        lib.SetModel(model);
        (void)lib.LoadDiscList(disc);
        (void)lib.LoadTitleList(library);
        for (int i = 0; i < lib.GetTitleCount(); ++i) {
            TITLEINFO info;
            lib.GetTitleInfo(i, info);
        }
        int index = 0;
        for (std::size_t at = 0; at < lines.size();) {
            const std::size_t lf = std::min(lines.find('\n', at), lines.size());
            std::string line(lines.substr(at, lf - at));
            if (lf < lines.size() && !line.empty() && line.back() == '\r') line.pop_back();
            at = lf + 1;
            lv::TrimLineEnd(line, true);
            if (line.empty()) continue;
            CRDTitleInfo alone;
            ParseTitleLine(line.c_str(), lib.GetModelClass(), lib, alone);
            if (index >= lib.GetTitleCount()) std::abort();
            const CRDTitleInfo& loaded = lib.Title(index++);
            for (int f = 0; f < TF_COUNT; ++f)
                if (loaded.Field(static_cast<TITLE_FIELD>(f)) != alone.Field(static_cast<TITLE_FIELD>(f))) std::abort();
            if (loaded.m_nGenre != alone.m_nGenre) std::abort();
        }
        if (index != lib.GetTitleCount()) std::abort();
    }
    return 0;
}
