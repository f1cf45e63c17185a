// libFuzzer target: whole cache files. The input up to its first NUL byte is
// the disc list, the rest the library list, loaded for every model class by
// the plain level of the loader and by every level the processor runs: each
// level's titles must equal the plain level's, and each plain title its line
// parsed on its own.
#include <cstdlib>
#include <memory>

#include "core/library/line_reader.h"
#include "core/library/recorder_library.h"
#include "core/library/title_loader.h"
#include "fuzz/fuzz_file.h"

namespace {

std::unique_ptr<CRDRecorderLibrary> Load(const char* model, const std::string& disc, const std::string& library,
                                         lv::LoaderLevel level) {
    lv::CapLoaderLevel(level);
    auto lib = std::make_unique<CRDRecorderLibrary>("RD");
    lib->SetModel(model);
    (void)lib->LoadDiscList(disc);
    (void)lib->LoadTitleList(library);
    return lib;
}

bool Same(const CRDTitleInfo& a, const CRDTitleInfo& b) {
    for (int f = 0; f < TF_COUNT; ++f)
        if (a.Field(static_cast<TITLE_FIELD>(f)) != b.Field(static_cast<TITLE_FIELD>(f))) return false;
    return a.m_nGenre == b.m_nGenre;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
    const std::string disc = lv::fuzz::WriteScratch("Disc.csv", bytes.substr(0, cut));
    const std::string_view lines = bytes.substr(std::min(cut + 1, bytes.size()));
    const std::string library = lv::fuzz::WriteScratch("Library.csv", lines);
    for (const char* model : {"", "RD-XS40", "RD-XS41", "RD-Z1"}) {
        const auto plain = Load(model, disc, library, lv::LoaderLevel::Plain);
        for (int i = 0; i < plain->GetTitleCount(); ++i) {
            TITLEINFO info;
            plain->GetTitleInfo(i, info);
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
            ParseTitleLine(line.c_str(), plain->GetModelClass(), *plain, alone);
            if (index >= plain->GetTitleCount() || !Same(plain->Title(index++), alone)) std::abort();
        }
        if (index != plain->GetTitleCount()) std::abort();
        for (auto level = lv::LoaderLevel::Sse2; level <= lv::TopLoaderLevel();
             level = static_cast<lv::LoaderLevel>(static_cast<int>(level) + 1)) {
            const auto lib = Load(model, disc, library, level);
            if (lib->GetTitleCount() != plain->GetTitleCount()) std::abort();
            for (int i = 0; i < lib->GetTitleCount(); ++i)
                if (!Same(lib->Title(i), plain->Title(i))) std::abort();
        }
    }
    return 0;
}
