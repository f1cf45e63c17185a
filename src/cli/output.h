#pragma once
// How the command-line tool prints record lines: tab-separated values,
// UTF-8 or the stored code page 932 bytes.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/records.h"

class CRDRecorderLibrary;

namespace lv::cli {

class Output {
public:
    explicit Output(bool cp932, std::FILE* out = stdout) : m_cp932(cp932), m_out(out) {}

    // One line of values; backslash, tab, CR and LF inside a value are escaped.
    void Line(const std::vector<std::string_view>& values);
    // A message line (no escaping): code page 932 text shown in the chosen encoding.
    void Text(std::string_view cp932, std::FILE* to);
    std::string Encode(std::string_view cp932) const;

    void Labels(const CRDRecorderLibrary& lib);
    void Disc(const CRDDiscInfo& disc);
    void Title(const std::string& rdName, const CRDTitleInfo& title);

private:
    bool m_cp932;
    std::FILE* m_out;
    std::string m_line;                      // the line being printed, reused
    std::vector<std::string_view> m_values;  // the values of a record line, reused
};

}  // namespace lv::cli
