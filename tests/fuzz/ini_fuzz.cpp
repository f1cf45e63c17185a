// libFuzzer target: any bytes as a settings or profile file. What is read is
// written back unchanged, and a value the writer accepts is found again under
// its section and key.
#include <cstdlib>

#include "core/ini/ini_file.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    lv::ini::IniFile file;
    file.Parse(bytes);
    if (file.Serialize() != bytes) std::abort();

    // The input's last bytes, cut in three, as a section, a key and a value.
    const std::string_view tail = bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 24));
    const std::size_t third = tail.size() / 3;
    const std::string section(tail.substr(0, third)), key(tail.substr(third, third)), value(tail.substr(2 * third));
    if (!file.SetString(section, key, value)) return 0;
    // Values lose surrounding blanks and quotes when read, wherever they stand.
    lv::ini::IniFile alone;
    alone.Parse("[S]\r\nk=" + value + "\r\n");
    lv::ini::IniFile reread;
    reread.Parse(file.Serialize());
    if (reread.Find(section, key) != alone.Find("S", "k")) std::abort();
    return 0;
}
