#pragma once
// The fuzzers that read files write their input into one scratch folder,
// made once per process in the system's temporary folder ($TMPDIR) and left there.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace lv::fuzz {

inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        std::string d = (std::filesystem::temp_directory_path() / "lv-fuzz-XXXXXX").string();
        if (!::mkdtemp(d.data())) std::abort();
        return d + "/";
    }();
    return dir;
}

inline std::string WriteScratch(const std::string& name, std::string_view bytes) {
    std::string path = ScratchDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lv::fuzz
