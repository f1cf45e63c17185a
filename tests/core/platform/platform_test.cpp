// The operating system under the core: the same errno values, the same
// replacement and the same folder names on every system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/library/line_reader.h"
#include "core/platform/errors.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/platform/program.h"
#include "core/settings/netnavi_setting.h"
#include "core/shell/app_settings.h"
#include "core/shell/keyword_history.h"
#include "core/text/codec.h"
#include "core/text/messages.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

#ifdef _WIN32
constexpr char kDevice[] = "NUL";
#else
constexpr char kDevice[] = "/dev/null";
#endif

// A folder name in Japanese, as a user's name or a chosen folder may be.
const std::u8string kJapanese = u8"録画ライブラリ";

std::string Utf8(const fs::path& p) { return p.string(); }

}  // namespace

TEST(PlatformFiles, FailuresAreErrnoValuesOnEverySystem) {
    TempDir dir;
    WriteFile(dir.file("a.ini"), "x");
    fs::create_directory(dir.path() / "folder");

    errno = 0;
    EXPECT_FALSE(lv::platform::OpenRegularFile(dir.file("absent")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(lv::platform::OpenRegularFile(dir.file("folder")));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(lv::platform::OpenRegularFile(kDevice));
    EXPECT_EQ(errno, ENXIO);
    EXPECT_TRUE(lv::platform::IsSpecialFile(kDevice));
    EXPECT_FALSE(lv::platform::CreateNewFile(dir.file("a.ini"), 0600));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(lv::platform::Unlink(dir.file("absent")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(lv::platform::MoveIntoPlace(dir.file("absent"), dir.file("a.ini")));
    EXPECT_EQ(errno, ENOENT);

    // What the user reads: the file, then the reason in Japanese.
    std::string error;
    EXPECT_FALSE(lv::WriteFileAtomic(dir.file("missing/R1.ini"), "x", std::nullopt, &error));
    EXPECT_EQ(error.rfind("R1.ini: " + lv::msg::ErrFileNotFound(), 0), 0u) << error;
}

// A reader sees the old file whole. POSIX replaces the file under the reader;
// Windows refuses to replace a file that is open, and the save changes nothing.
TEST(PlatformFiles, ASaveNeverTearsAFileBeingRead) {
    TempDir dir;
    const std::string path = dir.file("Default.lbv");
    ASSERT_TRUE(lv::WriteFileAtomic(path, "R1\r\n"));
    std::string error, bytes;
    {
        lv::LineReader reader;
        ASSERT_TRUE(reader.Open(path));
        const bool saved = lv::WriteFileAtomic(path, "R2\r\n", std::nullopt, &error);
#ifdef _WIN32
        EXPECT_FALSE(saved);
        EXPECT_EQ(error.rfind("Default.lbv: " + lv::msg::ErrAccessDenied(), 0), 0u) << error;
#else
        EXPECT_TRUE(saved) << error;
#endif
        std::string line;
        ASSERT_TRUE(reader.Next(line));
        EXPECT_EQ(line, "R1");
        ASSERT_TRUE(lv::ReadWholeFile(path, bytes));
        EXPECT_EQ(bytes, saved ? "R2\r\n" : "R1\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
    ASSERT_TRUE(lv::WriteFileAtomic(path, "R3\r\n", std::nullopt, &error)) << error;
    ASSERT_TRUE(lv::ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "R3\r\n");
}

// Views start anywhere, though the system maps whole pages, and stay valid
// once the file is closed.
TEST(PlatformFiles, AViewShowsTheFilesBytesFromAnyOffset) {
    TempDir dir;
    const std::string path = dir.file("Library.csv");
    std::string bytes;
    for (int i = 0; bytes.size() < 300000; ++i) bytes += std::to_string(i * 7919) + ",";
    ASSERT_TRUE(lv::WriteFileAtomic(path, bytes));
    lv::platform::FileView view;
    {
        const lv::platform::File file = lv::platform::OpenRegularFile(path);
        ASSERT_TRUE(file);
        for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{65537}, bytes.size() - 3}) {
            const std::size_t n = std::min<std::size_t>(70000, bytes.size() - at);
            ASSERT_TRUE(view.Map(file, at, n)) << at;
            EXPECT_EQ(std::string_view(view.Data(), n), std::string_view(bytes).substr(at, n)) << at;
        }
    }
    EXPECT_EQ(std::string_view(view.Data(), 3), std::string_view(bytes).substr(bytes.size() - 3));
    view.Unmap();
    EXPECT_EQ(view.Data(), nullptr);
}

TEST(PlatformFiles, AReadOnlyFileIsKeptAsItIs) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    WriteFile(path, "old\r\n");
    EXPECT_FALSE(lv::platform::IsReadOnlyFile(path));
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(lv::platform::IsReadOnlyFile(path));
    EXPECT_TRUE(lv::platform::IsReadOnlyFile(path, false));
    EXPECT_FALSE(lv::platform::IsReadOnlyFile(dir.file("absent")));
    EXPECT_FALSE(lv::platform::IsReadOnlyFile(Utf8(dir.path())));
    EXPECT_FALSE(SaveHistory({"new"}, path));
    EXPECT_EQ(lv::test::ReadFile(path), "old\r\n");
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

// The program folder may lie under a Japanese name: every file of the
// program is found under that name, and under no other.
TEST(PlatformFiles, AProgramFolderWithAJapaneseName) {
    TempDir tmp;
    const fs::path home = tmp.path() / kJapanese;
    fs::create_directory(home);
    const std::string appDir = Utf8(home) + "/";

    ASSERT_EQ(EnsureDefaultDocument(appDir), appDir + "Default.lbv");
    ASSERT_TRUE(lv::WriteFileAtomic(appDir + "Default.lbv", "R1\r\n"));
    CNetNaviSetting setting(appDir);
    ASSERT_TRUE(setting.SetName("R1") && setting.SetModel("RD-X5") && setting.SetHost("rd") && setting.Save());
    fs::create_directory(home / "R1");
    ASSERT_TRUE(lv::WriteFileAtomic(Utf8(home / "R1" / "Library.csv"), "x"));

    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(home)) names.push_back(Utf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Default.lbv", "R1", "R1.ini"}));
    EXPECT_EQ(fs::file_size(home / "Default.lbv"), 4u);

    lv::LineReader reader;
    std::string line;
    ASSERT_TRUE(reader.Open(appDir + "Default.lbv"));
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "R1");
    CNetNaviSetting loaded(appDir);
    ASSERT_TRUE(loaded.SetName("R1") && loaded.Load());
    EXPECT_EQ(loaded.GetModel(), "RD-X5");

    EXPECT_TRUE(loaded.Delete()) << loaded.GetErrorText();
    EXPECT_FALSE(fs::exists(home / "R1.ini"));
    EXPECT_FALSE(fs::exists(home / "R1"));
}

TEST(PlatformErrors, TheSystemsTextFollowsTheJapanese) {
    for (int err : {ENOENT, EACCES, ENOSPC, EEXIST, ENXIO, EISDIR}) {
        const std::string text = lv::platform::ErrorMessage(err);
        ASSERT_FALSE(text.empty()) << err;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
        // Code page 932 like every text of the core.
        EXPECT_EQ(lv::text::Cp932ToUtf8(text).find("\xEF\xBF\xBD"), std::string::npos) << text;
    }
    EXPECT_NE(lv::platform::ErrorMessage(ENOENT), lv::platform::ErrorMessage(EACCES));
}

// The codec's tables come from the system's converter; both systems read
// code page 932 alike.
TEST(Codec, EverySystemReadsCodePage932Alike) {
    using lv::text::Cp932ToUtf8;
    using lv::text::Utf8ToCp932;
    // Bytes that Windows alone makes characters of.
    for (const char* b : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}) EXPECT_EQ(Cp932ToUtf8(b), "\xEF\xBF\xBD") << b;
    EXPECT_EQ(Cp932ToUtf8("\xF0\x40"), "\xEE\x80\x80");  // user-defined: private use
    EXPECT_EQ(Cp932ToUtf8("\x87\x90\xFA\x40"), "≒ⅰ");
    // Duplicates go back to the first code.
    EXPECT_EQ(Utf8ToCp932("≒ⅰ"), "\x81\xE0\xEE\xEF");
    EXPECT_EQ(Cp932ToUtf8("\x81\x60\xB1"), "～ｱ");
}

#ifdef _WIN32
namespace {

// An environment variable for one test, as the C runtime reads it.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const std::wstring& value) : m_name(name) {
        if (const wchar_t* old = ::_wgetenv(name)) m_old = old;
        ::_wputenv_s(name, value.c_str());
    }
    ~ScopedEnv() { ::_wputenv_s(m_name, m_old.c_str()); }

private:
    const wchar_t* m_name;
    std::wstring m_old;
};

}  // namespace

TEST(PlatformProgram, WindowsKeepsTheFilesInTheRoamingFolderUnlessPortable) {
    const fs::path exe = lv::platform::FsPath(lv::platform::ExecutablePath());
    EXPECT_TRUE(fs::is_regular_file(exe)) << exe;
    EXPECT_EQ(exe.extension(), ".exe");

    TempDir tmp;
    const fs::path roaming = tmp.path() / kJapanese, bin = tmp.path() / "bin";
    fs::create_directories(roaming);
    fs::create_directories(bin);
    ScopedEnv home(L"LIBROVISTA_HOME", L"");
    ScopedEnv appData(L"APPDATA", roaming.wstring());
    // A folder the user may write is no reason to write there.
    EXPECT_EQ(ChooseProgramFolder(Utf8(bin), "C:\\Program Files\\Librovista"), Utf8(roaming) + "\\Librovista\\");
    EXPECT_TRUE(fs::is_directory(roaming / "Librovista"));
    // A portable copy carries its document.
    WriteFile(Utf8(bin / "Default.lbv"), "");
    EXPECT_EQ(ChooseProgramFolder(Utf8(bin), ""), Utf8(bin) + "\\");
    ScopedEnv named(L"LIBROVISTA_HOME", L"D:\\lv");
    EXPECT_EQ(ChooseProgramFolder(Utf8(bin), ""), "D:\\lv\\");
}
#endif
