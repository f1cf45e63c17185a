// libFuzzer target: any bytes as a disc-list header, a disc line or a title
// line, for every model class. Built with -DLV_FUZZ=ON and clang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/library/recorder_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    CRDRecorderLibrary lib("RD");
    for (int modelClass = 0; modelClass <= 3; ++modelClass) {
        std::string labels[5];
        ParseDiscHeader(line.c_str(), labels);
        CRDDiscInfo disc;
        ParseDiscLine(line.c_str(), "RD", modelClass, disc);
        CRDTitleInfo title;
        ParseTitleLine(line.c_str(), modelClass, lib, title);
        TITLEINFO view;
        title.GetInfo(view);
    }
    return 0;
}
