// What a transfer shows and what it is asked for, as the window and the
// command-line tool both use it.
#include <gtest/gtest.h>

#include "core/library/records.h"
#include "core/net/error_text.h"
#include "core/net/http_thread.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#include <wininet.h>
#endif

namespace {

// The receiving text stays as it is; what has arrived follows it.
TEST(TransferProgressText, AddsTheBytesOfALibraryOrTheNumberOfADescription) {
    const std::string receiving = SJ("ﾗｲﾌﾞﾗﾘ情報を取得中... ");
    EXPECT_EQ(TransferProgressText(0, 0, 0), receiving + "0 B");
    EXPECT_EQ(TransferProgressText(1023, 0, 0), receiving + "1023 B");
    EXPECT_EQ(TransferProgressText(1536, 0, 0), receiving + "1.5 KB");
    EXPECT_EQ(TransferProgressText(1258291, 0, 0), receiving + "1.2 MB");
    EXPECT_EQ(TransferProgressText(5000, 3, 10), receiving + "3 / 10");
    // Before the first request starts, and never past the last.
    EXPECT_EQ(TransferProgressText(0, 0, 2), receiving + "1 / 2");
    EXPECT_EQ(TransferProgressText(0, 3, 2), receiving + "2 / 2");
}

// A program folder the queue is never written to.
std::string Scratch() {
    static const lv::test::TempDir dir;
    return dir.dir();
}

TITLEINFO Title(const char* recorder, const char* page, const char* file) {
    TITLEINFO info{};
    info.pszRDName = recorder;
    info.apszField[TF_PAGE] = page;
    info.apszField[TF_TEXTFILE] = file;
    return info;
}

std::vector<std::string> Pages(const CDownloadTitleThread& thread) {
    std::vector<std::string> pages;
    for (const auto& t : thread.m_aTitles) pages.push_back(t->m_strPage);
    return pages;
}

TEST(QueueTitles, TakesTheLeadingTitlesOfOneRecorderInOrder) {
    CDownloadTitleThread thread(Scratch(), PROXY_SETTINGS{}, nullptr);
    thread.QueueTitles({Title("RDA", "a.htm", "a.txt"), Title("RDA", "b.htm", "b.txt"), Title("RDB", "c.htm", "c.txt"),
                        Title("RDA", "d.htm", "d.txt")});
    EXPECT_EQ(thread.m_strRecorderName, "RDA");
    EXPECT_EQ(Pages(thread), (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_EQ(thread.m_aTitles[1]->m_strTextFile, "b.txt");
    // The path is the transfer's to set.
    EXPECT_EQ(thread.m_aTitles[1]->m_strPath, "");
    // Recorder names compare byte for byte.
    CDownloadTitleThread cased(Scratch(), PROXY_SETTINGS{}, nullptr);
    cased.QueueTitles({Title("rda", "a.htm", "a.txt"), Title("RDA", "b.htm", "b.txt")});
    EXPECT_EQ(Pages(cased), std::vector<std::string>{"a.htm"});
}

TEST(QueueTitles, NoTitlesLeaveTheTransferWithoutARecorder) {
    CDownloadTitleThread empty(Scratch(), PROXY_SETTINGS{}, nullptr);
    empty.QueueTitles({});
    EXPECT_EQ(empty.m_strRecorderName, "");
    EXPECT_TRUE(empty.m_aTitles.empty());
    // Missing fields and a missing recorder name read as empty texts; a
    // first title without recorder leaves the next one to name it.
    CDownloadTitleThread blank(Scratch(), PROXY_SETTINGS{}, nullptr);
    blank.QueueTitles({Title(nullptr, nullptr, nullptr), Title("RDA", "p.htm", "p.txt")});
    EXPECT_EQ(blank.m_strRecorderName, "RDA");
    EXPECT_EQ(Pages(blank), (std::vector<std::string>{"", "p.htm"}));
}

#ifdef _WIN32
// The system's own text of a failure, kept in brackets after the Japanese:
// WinINet's from its module, Winsock's (which Wine reports for some network
// failures) from the system, one line each.
TEST(TransferErrorText, TheSystemsTextOfWinInetAndWinsockFailures) {
    for (DWORD code : {DWORD{ERROR_INTERNET_CANNOT_CONNECT}, DWORD{WSAECONNREFUSED}}) {
        const std::string text = InternetMessageText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
    EXPECT_EQ(InternetMessageText(0x2000FFFF), "");
    // Both families of one failure read alike.
    EXPECT_EQ(TransferErrorText(WSAECONNABORTED, "x"), TransferErrorText(ERROR_INTERNET_CONNECTION_ABORTED, "x"));
    EXPECT_EQ(TransferErrorText(WSAHOST_NOT_FOUND, "x"), TransferErrorText(ERROR_INTERNET_NAME_NOT_RESOLVED, "x"));
    EXPECT_NE(TransferErrorText(WSAHOST_NOT_FOUND, "x"), "x");
}
#endif

}  // namespace
