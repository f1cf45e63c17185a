#pragma once
// How the command-line tool prints record lines: tab-separated values,
// UTF-8 or the stored code page 932 bytes.
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/records.h"

class CRDRecorderLibrary;

namespace lv::cli {

// A named value of a record; JSON writes it by its kind.
struct FIELD {
    enum KIND { TEXT, NUMBER, BOOL, NONE };
    const char* key;
    std::string_view value;  // code page 932; a NUMBER as decimal text, a BOOL as "1" or "0"
    KIND kind = TEXT;
};

// Every line written shows the control characters that come with a
// recorder's or a server's text escaped: C0 but TAB, LF and CR LF, DEL and C1, as "\x1b".
class Output {
public:
    explicit Output(bool cp932, std::FILE* out = stdout) : m_cp932(cp932), m_out(out) {}

    // --json: a listing prints one JSON array (UTF-8), an object a line;
    // record lines become objects with stable keys.
    void SetJson(bool json) { m_json = json; }
    bool IsJson() const { return m_json; }
    // A listing command starts: with --json it prints "[]" even without records.
    void BeginList() { m_bListBegun = true; }
    // Ends the array of a listing; after a failure only one already opened.
    void EndList(bool failed);

    // One record: its values as a line (NONE values left out), or a JSON object.
    void Record(std::initializer_list<FIELD> fields);

    // One line of values; backslash, tab, CR and LF inside a value are escaped.
    void Line(const std::vector<std::string_view>& values);
    // Message lines, or a description: code page 932 text shown in the chosen
    // encoding, ending in a line end.
    void Text(std::string_view cp932, std::FILE* to);
    std::string Encode(std::string_view cp932) const;

    void Labels(const CRDRecorderLibrary& lib);
    void Disc(const CRDDiscInfo& disc);
    void Title(const std::string& rdName, const CRDTitleInfo& title);

private:
    void OpenObject();
    void Key(const char* key);
    void CloseObject();

    bool m_cp932;
    bool m_json = false;
    bool m_bListBegun = false;
    bool m_bListOpen = false;  // "[" printed
    std::FILE* m_out;
    std::string m_line;                      // the line being printed, reused
    std::vector<std::string_view> m_values;  // the values of a record line, reused
    std::string m_name;                      // a title's description file name, made for its line
};

}  // namespace lv::cli
