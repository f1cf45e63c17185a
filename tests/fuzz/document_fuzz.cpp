// libFuzzer target: any bytes as the document file, with profiles and caches
// of its first recorder names also made from the input.
#include "core/library/title_doc.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    const std::string path = lv::fuzz::WriteScratch("Default.lbv", bytes);
    // A fixed recorder whose cache is the input too, so names and lists meet.
    lv::fuzz::WriteScratch("RD.ini", "[NetNavi]\r\nModel=RD-XS41\r\nHost=h\r\nPort=80\r\n");
    CRDTitleDoc doc(lv::fuzz::ScratchDir());
    (void)doc.OnOpenDocument(path);
    (void)doc.FindRecorder("RD");
    (void)doc.OnOpenDocument(lv::fuzz::WriteScratch("Default.lbv", std::string("RD\r\n").append(bytes)));
    return 0;
}
