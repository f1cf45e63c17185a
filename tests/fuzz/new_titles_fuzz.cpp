// libFuzzer target: any bytes as a recorder's news file, then the marks it
// makes on a library, and the file written back from what was read.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/library/new_titles.h"
#include "core/library/recorder_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    NEWTITLES news;
    if (!ParseNewTitles(bytes, news)) return 0;
    CRDRecorderLibrary lib("RD");
    std::string_view fields[TF_TEXTFILE] = {};
    if (!news.aNew.empty()) {
        const TITLEID& id = news.aNew.front();
        fields[TF_DATE] = id.strDate;
        fields[TF_TIME] = id.strTime;
        fields[TF_CHANNEL] = id.strChannel;
        fields[TF_TITLE] = id.strTitle;
    }
    std::vector<CRDTitleInfo> titles(2);
    for (CRDTitleInfo& t : titles) t.SetFields(fields, 0);
    (void)MarkNewTitles(news, titles);
    NEWTITLES again;
    // What was read is written back the same.
    if (!ParseNewTitles(FormatNewTitles(news), again) || !(again == news)) __builtin_trap();
    return 0;
}
