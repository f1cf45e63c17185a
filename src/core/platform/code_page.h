#pragma once
// The system's converter for code page 932, one character at a time; the
// codec builds its tables from it once.
#include <string_view>

namespace lv::platform {

class Cp932Decoder {
public:
    Cp932Decoder();
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;
    ~Cp932Decoder();

    // Whether the system has the converter.
    bool Available() const;
    // The Unicode character of one code page 932 character (a byte, or a lead
    // and a trail byte) as the published table reads it; 0 when none.
    char32_t Decode(std::string_view bytes);

private:
    void* m_converter = nullptr;
};

}  // namespace lv::platform
