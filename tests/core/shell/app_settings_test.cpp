#include "core/shell/app_settings.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <cwchar>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <thread>

#include "core/ini/ini_file.h"
#include "core/platform/path.h"
#include "core/platform/program.h"
#include "core/settings/netnavi_setting.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

const char kDefaultFile[] =
    "[MainFrame\\WindowPos]\r\nLeft=0\r\nTop=0\r\nRight=800\r\nBottom=600\r\n"
    "[MainFrame\\Split]\r\nWidth=150\r\nHeight=400\r\n"
    "[List\\All]\r\nStyle=1\r\nFilterAsYouType=0\r\n"
    "[Tree\\Style]\r\nDisc=1\r\n"
    "[Library\\Setting]\r\nRecMode=0\r\n"
    "[Settings\\Proxy]\r\nIESetting=1\r\nEnable=0\r\nHost=\r\nPort=8080\r\n"
    "[Column\\Title]\r\nWidth=220\r\nOrder=0\r\nSort=0\r\n"
    "[Column\\Disc]\r\nWidth=50\r\nOrder=1\r\nSort=0\r\n"
    "[Column\\Genre]\r\nWidth=100\r\nOrder=2\r\nSort=0\r\n"
    "[Column\\Date]\r\nWidth=130\r\nOrder=3\r\nSort=0\r\n"
    "[Column\\Channel]\r\nWidth=50\r\nOrder=4\r\nSort=0\r\n"
    "[Column\\RDName]\r\nWidth=50\r\nOrder=5\r\nSort=0\r\n"
    "[Column\\DiscFree]\r\nWidth=0\r\nOrder=6\r\nSort=0\r\n"
    "[Column\\DiscNo]\r\nWidth=50\r\nOrder=0\r\nSort=0\r\n"
    "[Column\\Free]\r\nWidth=50\r\nOrder=1\r\nSort=0\r\n"
    "[Column\\Label]\r\nWidth=220\r\nOrder=2\r\nSort=0\r\n"
    "[Column\\Free1]\r\nWidth=50\r\nOrder=3\r\nSort=0\r\n"
    "[Column\\Free2]\r\nWidth=50\r\nOrder=4\r\nSort=0\r\n"
    "[Column\\Free3]\r\nWidth=50\r\nOrder=5\r\nSort=0\r\n"
    "[Column\\Free4]\r\nWidth=50\r\nOrder=6\r\nSort=0\r\n"
    "[Column\\Free5]\r\nWidth=50\r\nOrder=7\r\nSort=0\r\n";

bool HasTemporaryFile(const fs::path& dir) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().find(".~") != std::string::npos) return true;
    return false;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        Set(value);
    }
    ~ScopedEnv() { Set(m_old ? m_old->c_str() : nullptr); }

private:
    void Set(const char* value) {
#ifdef _WIN32
        // An empty value removes the variable on Windows.
        ::_wputenv_s(lv::platform::Widen(m_name).c_str(), lv::platform::Widen(value ? value : "").c_str());
#else
        if (value)
            ::setenv(m_name, value, 1);
        else
            ::unsetenv(m_name);
#endif
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

// A process saving two settings files in turn into one path until it is
// killed: a fork of this one, or on Windows this program run again for the
// test below.
CAppSettings Large(char fill, int recMode) {
    CAppSettings s;
    s.LoadSettings("");
    s.m_strProxyHost = std::string(3 << 20, fill);
    s.m_nRecMode = recMode;
    return s;
}

const char kSaveLoop[] = "LV_TEST_SAVE_LOOP";

// The whole file, or nothing when it cannot be opened.
std::optional<std::string> TryRead(const std::string& path) {
    std::ifstream f(lv::platform::FsPath(path), std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

[[noreturn]] void SaveWithoutEnd(const std::string& path) {
    const CAppSettings a = Large('a', 0), b = Large('b', 4);
    for (int i = 0;; ++i) (i % 2 ? a : b).SaveSettings(path);
}

#ifdef _WIN32
std::string CurrentTest() {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(t->test_suite_name()) + "." + t->name();
}
#endif

class Saver {
public:
#ifdef _WIN32
    explicit Saver(const std::string& path)
        : m_child(lv::platform::ExecutablePath(), {"--gtest_filter=" + CurrentTest()},
                  {std::string(kSaveLoop) + "=" + path}) {}
    bool Started() const { return m_child.Started(); }
    // Whether the kill ended it, rather than anything else.
    bool Kill() {
        m_child.Kill();
        return m_child.Wait() == 137;
    }

private:
    lv::test::ChildProcess m_child;
#else
    explicit Saver(const std::string& path) : m_pid(::fork()) {
        if (m_pid == 0) SaveWithoutEnd(path);
    }
    bool Started() const { return m_pid > 0; }
    bool Kill() {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        return ::waitpid(m_pid, &status, 0) == m_pid && WIFSIGNALED(status);
    }

private:
    pid_t m_pid;
#endif
};

}  // namespace

TEST(AppSettingsFirstStart, CreatesTheDefaultDocumentAndWritesEveryKey) {
    TempDir dir;
    const std::string doc = EnsureDefaultDocument(dir.dir());
    EXPECT_EQ(doc, dir.file("Default.lbv"));
    EXPECT_TRUE(fs::is_regular_file(doc));
    EXPECT_EQ(fs::file_size(doc), 0u);

    CAppSettings app;
    app.LoadSettings(GetSettingsPath(dir.dir()));
    EXPECT_EQ(app.m_rcWindow.right - app.m_rcWindow.left, 800);
    EXPECT_EQ(app.m_rcWindow.bottom - app.m_rcWindow.top, 600);
    EXPECT_EQ(app.m_rcWindow.left, 0);
    EXPECT_EQ(app.m_nListStyle, 1);
    EXPECT_EQ(app.m_bProxyUseIE, 1);
    ASSERT_TRUE(app.SaveSettings(GetSettingsPath(dir.dir())));
    EXPECT_EQ(GetSettingsPath(dir.dir()), dir.file("librovista.ini"));
    EXPECT_EQ(ReadFile(dir.file("librovista.ini")), kDefaultFile);
}

TEST(AppSettingsFirstStart, AnExistingDocumentIsNeverTruncated) {
    TempDir dir;
    WriteFile(dir.file("Default.lbv"), "RD-1\r\n");
    EXPECT_EQ(EnsureDefaultDocument(dir.dir()), dir.file("Default.lbv"));
    EXPECT_EQ(ReadFile(dir.file("Default.lbv")), "RD-1\r\n");
    EXPECT_EQ(EnsureDefaultDocument(dir.dir() + "missing/"), "");
}

TEST(AppSettingsFile, ValuesRoundTripWithTheirSign) {
    TempDir dir;
    const std::string path = dir.file("librovista.ini");
    CAppSettings app;
    app.LoadSettings(path);
    app.m_rcWindow = {-1200, -20, -200, 700};
    app.m_nSplitWidth = 220;
    app.m_nSplitHeight = 0;
    app.m_nListStyle = 3;
    app.m_nDiscDisplay = 2;
    app.m_nRecMode = 4;
    app.m_bProxyUseIE = 0;
    app.m_bProxyEnable = 1;
    app.m_strProxyHost = "proxy.example";
    app.m_nProxyPort = 3128;
    app.SetColumnSetting(0, {300, 2, -1});
    app.SetColumnSetting(2, {90, 0, 1});
    app.SetColumnSetting(14, {0, 7, -1});
    ASSERT_TRUE(app.SaveSettings(path));

    CAppSettings back;
    back.LoadSettings(path);
    EXPECT_EQ(back.m_rcWindow.left, -1200);
    EXPECT_EQ(back.m_rcWindow.top, -20);
    EXPECT_EQ(back.m_rcWindow.right, -200);
    EXPECT_EQ(back.m_rcWindow.bottom, 700);
    EXPECT_EQ(back.m_nSplitWidth, 220);
    EXPECT_EQ(back.m_nSplitHeight, 0);
    EXPECT_EQ(back.m_nListStyle, 3);
    EXPECT_EQ(back.m_nDiscDisplay, 2);
    EXPECT_EQ(back.m_nRecMode, 4);
    EXPECT_EQ(back.m_bProxyUseIE, 0);
    EXPECT_EQ(back.m_bProxyEnable, 1);
    EXPECT_EQ(back.m_strProxyHost, "proxy.example");
    EXPECT_EQ(back.m_nProxyPort, 3128);
    COLUMN_SETTING c{};
    back.GetColumnSetting(0, c);
    EXPECT_EQ(c.nWidth, 300);
    EXPECT_EQ(c.nOrder, 2);
    EXPECT_EQ(c.nSort, -1);
    back.GetColumnSetting(2, c);
    EXPECT_EQ(c.nOrder, 0);
    EXPECT_EQ(c.nSort, 1);
    back.GetColumnSetting(14, c);
    EXPECT_EQ(c.nWidth, 0);
    EXPECT_EQ(c.nSort, -1);
    EXPECT_THROW(back.GetColumnSetting(15, c), std::out_of_range);

    // A host with a line break pasted into it still lets every setting be saved.
    back.m_strProxyHost = std::string("proxy.lan\r\n[Evil]\nx=1\0y", 23);
    back.m_nRecMode = 2;
    ASSERT_TRUE(back.SaveSettings(path));
    CAppSettings again;
    again.LoadSettings(path);
    EXPECT_EQ(again.m_strProxyHost, "proxy.lan");
    EXPECT_EQ(again.m_nRecMode, 2);
    EXPECT_EQ(ReadFile(path).find("[Evil]"), std::string::npos);
}

TEST(AppSettingsFile, HandEditedFilesAreReadSensibly) {
    TempDir dir;
    const std::string path = dir.file("librovista.ini");
    // How names, blanks and numbers are read is the ini file's; these are the settings' own limits.
    WriteFile(path,
              "[MainFrame\\WindowPos]\nLeft=-5\nTop=10\n"
              "[MainFrame\\Split]\nWidth=-3\nHeight=250\n"
              "[List\\All]\nStyle=9\n"
              "[Tree\\Style]\nDisc=8\n"
              "[Library\\Setting]\nRecMode=7\n"
              "[Settings\\Proxy]\nIESetting=0\nEnable=1\nHost=my proxy\nPort=70000\n"
              "[Column\\Title]\nWidth=-40\nSort=-1\n"
              "[Column\\Genre]\nSort=5\n"
              // Two disc-view columns at the same position: the view's order is reset.
              "[Column\\Free1]\nOrder=0\n");
    CAppSettings app;
    app.LoadSettings(path);
    EXPECT_EQ(app.m_rcWindow.left, -5);
    EXPECT_EQ(app.m_rcWindow.top, 10);
    EXPECT_EQ(app.m_rcWindow.right, 800);
    EXPECT_EQ(app.m_nSplitWidth, 150);
    EXPECT_EQ(app.m_nSplitHeight, 250);
    EXPECT_EQ(app.m_nListStyle, 1);
    EXPECT_EQ(app.m_nDiscDisplay, 1);
    EXPECT_EQ(app.m_nRecMode, 0);
    EXPECT_EQ(app.m_bProxyUseIE, 0);
    EXPECT_EQ(app.m_bProxyEnable, 1);
    EXPECT_EQ(app.m_strProxyHost, "my proxy");
    EXPECT_EQ(app.m_nProxyPort, 8080);
    COLUMN_SETTING c{};
    app.GetColumnSetting(0, c);
    EXPECT_EQ(c.nWidth, 220);
    EXPECT_EQ(c.nSort, -1);
    app.GetColumnSetting(2, c);
    EXPECT_EQ(c.nSort, 0);
    app.GetColumnSetting(10, c);
    EXPECT_EQ(c.nOrder, 3);

    // An inverted rectangle is no window.
    WriteFile(path, "[MainFrame\\WindowPos]\nLeft=500\nRight=100\n");
    app.LoadSettings(path);
    EXPECT_EQ(app.m_rcWindow.left, 0);
    EXPECT_EQ(app.m_rcWindow.right, 800);
}

TEST(AppSettingsFile, SavingKeepsForeignSectionsAndTheirOrder) {
    TempDir dir;
    const std::string path = GetSettingsPath(dir.dir());
    WriteFile(path, "[Bars]\r\nState=abc\r\n[Library\\Setting]\r\nRecMode=2\r\n");
    // A recorder named like the program keeps its profile in the same file.
    CNetNaviSetting rd(dir.dir());
    ASSERT_TRUE(rd.SetName("librovista"));
    ASSERT_TRUE(rd.SetHost("rd.local"));
    ASSERT_TRUE(rd.Save());
    CAppSettings app;
    app.LoadSettings(path);
    EXPECT_EQ(app.m_nRecMode, 2);
    app.m_nRecMode = 3;
    ASSERT_TRUE(app.SaveSettings(path));
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("[Bars]\r\nState=abc\r\n[Library\\Setting]\r\nRecMode=3\r\n[NetNavi]\r\n", 0), 0u) << text;
    CNetNaviSetting back(dir.dir());
    ASSERT_TRUE(back.SetName("librovista"));
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.GetHost(), "rd.local");
}

TEST(AppSettingsFile, AKilledSaveLeavesTheOldFileOrTheNewOne) {
    // The program run again on Windows is the saver.
    if (const std::string loop = lv::platform::GetEnv(kSaveLoop); !loop.empty()) SaveWithoutEnd(loop);
    TempDir dir;
    const std::string path = GetSettingsPath(dir.dir());
    // Large enough that most of a save is spent writing the temporary file.
    const CAppSettings a = Large('a', 0), b = Large('b', 4);
    ASSERT_TRUE(b.SaveSettings(path));
    const std::string contentB = ReadFile(path);
    ASSERT_TRUE(a.SaveSettings(path));
    const std::string contentA = ReadFile(path);

    int interrupted = 0;
    for (int round = 0; round < 12; ++round) {
        Saver child(path);
        ASSERT_TRUE(child.Started());
        // While the child saves, a reader only ever sees a whole file. Every
        // other round ends as soon as a temporary file shows a save under way.
        // Even rounds wait (up to seconds, for slow builds) until a save is under way.
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(round % 2 == 0 ? 5000 : 40 + 10 * round);
        bool torn = false;
        std::optional<std::string> seen;
        while (std::chrono::steady_clock::now() < deadline) {
            if (round % 2 == 0 && HasTemporaryFile(dir.path())) break;
            seen = TryRead(path);
#ifdef _WIN32
            // A file being replaced may refuse to open for a moment there;
            // it is still there, and no part of it was read.
            if (!seen && fs::exists(lv::platform::FsPath(path))) continue;
#endif
            if (seen != contentA && seen != contentB) {
                torn = true;
                break;
            }
        }
        ASSERT_TRUE(child.Kill());
        ASSERT_FALSE(torn) << "round " << round << ": a reader saw "
                           << (seen ? std::to_string(seen->size()) + " bytes" : std::string("no file"));

        const std::string now = ReadFile(path);
        ASSERT_TRUE(now == contentA || now == contentB) << "round " << round << ": " << now.size() << " bytes";
        // Whatever the kill left behind is not the settings file.
        for (const auto& e : fs::directory_iterator(dir.path())) {
            if (e.path() == path) continue;
            EXPECT_EQ(e.path().filename().string().rfind("librovista.ini.~", 0), 0u) << e.path();
            ++interrupted;
            fs::remove(e.path());
        }
        CAppSettings loaded;
        loaded.LoadSettings(path);
        EXPECT_EQ(loaded.m_strProxyHost.size(), std::size_t(3) << 20);
        EXPECT_EQ(loaded.m_nRecMode, now == contentB ? 4 : 0);
    }
    // Some rounds must have caught the child in the middle of writing, or
    // the test proved nothing.
    EXPECT_GT(interrupted, 0);
}

TEST(AppSettingsFolder, ProgramFolderFromTheEnvironmentOrTheExecutable) {
#ifdef _WIN32
    {
        ScopedEnv env("LIBROVISTA_HOME", "D:\\lv");
        EXPECT_EQ(GetProgramFolder(nullptr), "D:\\lv\\");
    }
    {
        ScopedEnv env("LIBROVISTA_HOME", "D:/lv/");
        EXPECT_EQ(GetProgramFolder("C:\\Program Files\\Librovista\\librovista.exe"), "D:/lv/");
    }
    // Beside the executable only as a portable copy: PlatformProgram checks that.
#else
    {
        ScopedEnv env("LIBROVISTA_HOME", "/srv/lv");
        EXPECT_EQ(GetProgramFolder(nullptr), "/srv/lv/");
    }
    {
        ScopedEnv env("LIBROVISTA_HOME", "/srv/lv/");
        EXPECT_EQ(GetProgramFolder("/usr/bin/librovista"), "/srv/lv/");
    }
    const std::string exeFolder = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
    {
        ScopedEnv env("LIBROVISTA_HOME", nullptr);
        EXPECT_EQ(GetProgramFolder("ignored"), exeFolder);
    }
    {
        ScopedEnv env("LIBROVISTA_HOME", "");
        EXPECT_EQ(GetProgramFolder(nullptr), exeFolder);
    }
#endif
}

// The folder an installed program keeps its files in, for the window and the tool.
TEST(AppSettingsFolder, InstalledProgramUsesTheUserDataFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "XDG_DATA_HOME and ~/.local/share are Linux's; Windows' roaming folder is "
                    "PlatformProgram's case";
#else
    TempDir dir;
    const fs::path bin = dir.path() / "usr/bin", data = dir.path() / "data";
    fs::create_directories(bin);
    ScopedEnv noHome("LIBROVISTA_HOME", nullptr);
    ScopedEnv xdg("XDG_DATA_HOME", data.c_str());

    // A folder the user may write that the program was not installed into:
    // the executable's folder, as for a build or an unpacked copy.
    EXPECT_EQ(ChooseProgramFolder(bin.string(), "/usr/bin"), bin.string() + "/");
    EXPECT_FALSE(fs::exists(data));

    // Its installed folder, however spelled: the data folder, created for the owner alone.
    fs::create_directory_symlink(bin, dir.path() / "bin");
    EXPECT_EQ(ChooseProgramFolder(bin.string() + "/", (dir.path() / "bin").string()), data.string() + "/librovista/");
    EXPECT_TRUE(fs::is_directory(data / "librovista"));
    EXPECT_EQ(fs::status(data / "librovista").permissions() & fs::perms::all, fs::perms::owner_all);
    // The second start finds it.
    EXPECT_EQ(ChooseProgramFolder(bin.string(), bin.string()), data.string() + "/librovista/");

    // A portable copy carries its document: it stays beside the executable.
    WriteFile((bin / "Default.lbv").string(), "");
    EXPECT_EQ(ChooseProgramFolder(bin.string(), bin.string()), bin.string() + "/");
    fs::remove(bin / "Default.lbv");

    // LIBROVISTA_HOME names the folder, whatever else holds.
    {
        ScopedEnv home("LIBROVISTA_HOME", "/srv/lv");
        EXPECT_EQ(ChooseProgramFolder(bin.string(), bin.string()), "/srv/lv/");
    }

    // Without XDG_DATA_HOME (or with a relative one, which is invalid): ~/.local/share.
    ScopedEnv userHome("HOME", (dir.path() / "home/u").c_str());
    for (const char* value : {static_cast<const char*>(nullptr), "relative/data"}) {
        ScopedEnv unset("XDG_DATA_HOME", value);
        EXPECT_EQ(ChooseProgramFolder(bin.string(), bin.string()), dir.dir() + "home/u/.local/share/librovista/");
        EXPECT_TRUE(fs::is_directory(dir.path() / "home/u/.local/share/librovista"));
    }
#endif
}

TEST(AppSettingsFolder, ReadOnlyExecutableFolderUsesTheUserDataFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows never keeps the files beside an executable that is not a portable copy, "
                    "writable or not";
#else
    TempDir dir;
    const fs::path bin = dir.path() / "opt", data = dir.path() / "data";
    fs::create_directories(bin);
    fs::create_directories(data);
    // The superuser may write anywhere: the choice is made as an ordinary user.
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(data, fs::perms::all);
    fs::permissions(bin, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    int result[2];
    ASSERT_EQ(::pipe(result), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(result[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        ::unsetenv("LIBROVISTA_HOME");
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        const std::string chosen = ChooseProgramFolder(bin.string(), "/usr/bin");
        const bool ok = ::write(result[1], chosen.data(), chosen.size()) == static_cast<ssize_t>(chosen.size());
        ::_exit(ok ? 0 : 1);
    }
    ::close(result[1]);
    std::string chosen;
    char buf[256];
    for (ssize_t n; (n = ::read(result[0], buf, sizeof buf)) > 0;) chosen.append(buf, static_cast<std::size_t>(n));
    ::close(result[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(chosen, data.string() + "/librovista/");
    EXPECT_TRUE(fs::is_directory(data / "librovista"));
#endif
}

TEST(AppSettingsFolder, ReadMeOfTheProgramFolderElseTheInstalledOne) {
    TempDir dir;
    EXPECT_EQ(GetReadMePath(dir.dir(), "/usr/share/doc/librovista/ReadMe.txt"), "/usr/share/doc/librovista/ReadMe.txt");
    WriteFile(dir.file("ReadMe.txt"), "\xEF\xBB\xBF");
    EXPECT_EQ(GetReadMePath(dir.dir(), "/usr/share/doc/librovista/ReadMe.txt"), dir.file("ReadMe.txt"));
    // The built-in default lies in the documentation folder of the install prefix.
    EXPECT_TRUE(std::string_view(kInstalledReadMe).ends_with("/share/doc/librovista/ReadMe.txt")) << kInstalledReadMe;
}
