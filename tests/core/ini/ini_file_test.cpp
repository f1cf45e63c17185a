#include "core/ini/ini_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <climits>
#include <filesystem>

#include "core/ini/atomic_file.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::ini::IniFile;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

std::vector<std::string> FolderEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
unsigned ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}
#endif

}  // namespace

TEST(IniRead, FindsSectionsAndKeysWhateverTheirCaseAndSpacing) {
    IniFile ini;
    ini.Parse(
        "; a comment\r\n"
        "orphan=before any section\r\n"
        "[MainFrame\\WindowPos]\r\n"
        "Left=10\r\n"
        "  [ settings\\proxy ]  \r\n"
        "  HOST  =   proxy.local   \r\n"
        "quoted=\"  spaced  \"\r\n"
        "single='x'\r\n"
        "lonequote=\"abc\r\n"
        ";Port=1\r\n"
        "no equals sign here\r\n"
        "Port=3128\r\n"
        "[Settings\\Proxy]\r\n"
        "Port=9999\r\n");
    EXPECT_EQ(ini.GetInt("mainframe\\windowpos", "LEFT", -1), 10);
    EXPECT_EQ(ini.GetString("Settings\\Proxy", "Host", "-"), "proxy.local");
    EXPECT_EQ(ini.GetString("SETTINGS\\PROXY", "quoted", "-"), "  spaced  ");
    EXPECT_EQ(ini.GetString("Settings\\Proxy", "single", "-"), "x");
    EXPECT_EQ(ini.GetString("Settings\\Proxy", "lonequote", "-"), "\"abc");
    // The commented key does not count; the first section of a name wins.
    EXPECT_EQ(ini.GetInt("Settings\\Proxy", "Port", 0), 3128);
    // Keys before the first section belong to none.
    EXPECT_EQ(ini.GetString("", "orphan", "def"), "def");
    EXPECT_EQ(ini.GetString("MainFrame", "Left", "def"), "def");
    EXPECT_EQ(ini.GetString("MainFrame\\WindowPos", "Top", "def"), "def");
    EXPECT_EQ(ini.GetString("Nowhere", "Left", "def"), "def");
}

TEST(IniRead, KeepsCodePage932BytesAndIgnoresCaseOnlyInSingleByteCharacters) {
    // "ゾ" ends in the byte "]" and "表" in a backslash; "ア" and "ヂ" differ
    // only in a trail byte that looks like "A" and "a".
    const std::string section = SJ("ゾーン表");
    IniFile ini;
    ini.Parse("[" + section + "]\n" + SJ("ア") + "=" + SJ("値ア") + "\nkey=" + SJ("表示") + "\n");
    EXPECT_EQ(ini.GetString(section, SJ("ア"), "-"), SJ("値ア"));
    EXPECT_EQ(ini.GetString(section, SJ("ヂ"), "-"), "-");
    EXPECT_EQ(ini.GetString(section, "KEY", "-"), SJ("表示"));
    EXPECT_EQ(ini.GetString(SJ("ゾ"), "key", "-"), "-");
}

TEST(IniRead, IntegersKeepTheirSignAndBadTextGivesTheDefault) {
    IniFile ini;
    ini.Parse(
        "[n]\n"
        "neg=-1\n"
        "spaced=   42\n"
        "plus=+7\n"
        "unit=12px\n"
        "word=abc\n"
        "empty=\n"
        "sign=-\n"
        "big=99999999999\n"
        "min=-2147483648\n"
        "max=2147483647\n"
        "over=2147483648\n");
    EXPECT_EQ(ini.GetInt("n", "neg", 5), -1);
    EXPECT_EQ(ini.GetInt("n", "spaced", 5), 42);
    EXPECT_EQ(ini.GetInt("n", "plus", 5), 7);
    EXPECT_EQ(ini.GetInt("n", "unit", 5), 12);
    EXPECT_EQ(ini.GetInt("n", "word", 5), 5);
    EXPECT_EQ(ini.GetInt("n", "empty", 5), 5);
    EXPECT_EQ(ini.GetInt("n", "sign", 5), 5);
    EXPECT_EQ(ini.GetInt("n", "big", 5), 5);
    EXPECT_EQ(ini.GetInt("n", "min", 5), INT_MIN);
    EXPECT_EQ(ini.GetInt("n", "max", 5), INT_MAX);
    EXPECT_EQ(ini.GetInt("n", "over", 5), 5);
    EXPECT_EQ(ini.GetInt("n", "absent", 5), 5);
}

TEST(IniRead, MissingOrUnreadableFilesGiveDefaults) {
    TempDir dir;
    EXPECT_EQ(lv::ini::ReadString(dir.file("none.ini"), "a", "b", "def"), "def");
    EXPECT_EQ(lv::ini::ReadInt(dir.file("none.ini"), "a", "b", -3), -3);
    IniFile ini;
    EXPECT_TRUE(ini.Load(dir.file("none.ini")));
    // A folder where the file should be cannot be read: Load says so.
    fs::create_directory(dir.file("folder.ini"));
    EXPECT_FALSE(ini.Load(dir.file("folder.ini")));
    EXPECT_EQ(ini.GetString("a", "b", "def"), "def");
}

TEST(IniWrite, ReplacesOnlyItsOwnValueAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string path = dir.file("shared.ini");
    const std::string before =
        "; written by hand\n"
        "[NetNavi]\n"
        "host = old.local ; not a comment here\n"
        "Port=80\n"
        "\n"
        "[Other]\n"
        "x=1\n"
        "; trailing comment\n"
        "\n"
        "[Last]\n"
        "y=2";  // no line end at the very end
    WriteFile(path, before);

    ASSERT_TRUE(lv::ini::WriteString(path, "netnavi", "HOST", "new.local"));
    ASSERT_TRUE(lv::ini::WriteString(path, "NetNavi", "User", "me"));
    ASSERT_TRUE(lv::ini::WriteString(path, "Other", "z", "3"));
    ASSERT_TRUE(lv::ini::WriteString(path, "Last", "w", "4"));
    ASSERT_TRUE(lv::ini::WriteString(path, "MainFrame\\Split", "Width", "150"));
    EXPECT_EQ(ReadFile(path),
              "; written by hand\n"
              "[NetNavi]\n"
              "host =new.local\n"
              "Port=80\n"
              "User=me\n"
              "\n"
              "[Other]\n"
              "x=1\n"
              "; trailing comment\n"
              "z=3\n"
              "\n"
              "[Last]\n"
              "y=2\n"
              "w=4\n"
              "[MainFrame\\Split]\n"
              "Width=150\n");
}

TEST(IniWrite, NewFileUsesCrLfAndKeepsTheOrderOfWrites) {
    IniFile ini;
    ASSERT_TRUE(ini.SetString("B", "one", "1"));
    ASSERT_TRUE(ini.SetString("A", "two", "2"));
    ASSERT_TRUE(ini.SetInt("B", "three", -3));
    ASSERT_TRUE(ini.SetString("b", "ONE", SJ("一")));
    EXPECT_EQ(ini.Serialize(), "[B]\r\none=" + SJ("一") + "\r\nthree=-3\r\n[A]\r\ntwo=2\r\n");
}

TEST(IniWrite, RefusesTextThatWouldBreakTheLines) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    const std::string before = "[S]\r\nk=v\r\n";
    WriteFile(path, before);
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "k", "v\r\n[Injected]\r\nx=1"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "k", "line\nbreak"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "k", std::string("nul\0x", 5)));
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "a=b", "v"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "", "v"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "[T]", "v"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S]x", "k", "v"));
    EXPECT_FALSE(lv::ini::WriteString(path, "S\nT", "k", "v"));
    EXPECT_EQ(ReadFile(path), before);
    // A value may hold "=", ";" and brackets: only line ends are dangerous.
    ASSERT_TRUE(lv::ini::WriteString(path, "S", "k", "a=b;[c]"));
    EXPECT_EQ(lv::ini::ReadString(path, "S", "k", ""), "a=b;[c]");
}

TEST(IniRead, ReadsOddFilesAsThePlatformDoes) {
    IniFile ini;
    // A lone CR ends a line as CR LF and LF do.
    ini.Parse("[S]\rA=cr\r[T]\nB=lf\r\nC=mixed\r");
    EXPECT_EQ(ini.GetString("S", "A", "-"), "cr");
    EXPECT_EQ(ini.GetString("T", "B", "-"), "lf");
    EXPECT_EQ(ini.GetString("T", "C", "-"), "mixed");
    EXPECT_EQ(ini.GetString("S", "B", "-"), "-");
    // A value stops at a NUL byte.
    ini.Parse(std::string("[S]\nA=before") + '\0' + "after\nB=" + '\0' + "\n");
    EXPECT_EQ(ini.GetString("S", "A", "-"), "before");
    EXPECT_EQ(ini.GetString("S", "B", "-"), "");
    // "[" without "]" is no header; a header runs to its last "]".
    ini.Parse("[S]\n[broken\nA=1\n[a]b]\nB=2\n[" + SJ("ソ") + "]\nC=3\n");
    EXPECT_EQ(ini.GetString("S", "A", "-"), "1");
    EXPECT_EQ(ini.GetString("a]b", "B", "-"), "2");
    EXPECT_EQ(ini.GetString("a", "B", "-"), "-");
    EXPECT_EQ(ini.GetString(SJ("ソ"), "C", "-"), "3");  // 83 5D: the trail byte is no "]"
    // ^Z, VT and FF are blanks around names and values.
    ini.Parse("\x1a[ S\v]\f\nA\x1a=\f v \x1a\n\vB=\t2\v\n");
    EXPECT_EQ(ini.GetString("S", "A", "-"), "v");
    EXPECT_EQ(ini.GetInt("S", "B", 0), 2);
    // Kept on purpose: hexadecimal reads as decimal, out of range gives the default.
    ini.Parse("[S]\nH=0x1F\nBig=99999999999\n");
    EXPECT_EQ(ini.GetInt("S", "H", 7), 0);
    EXPECT_EQ(ini.GetInt("S", "Big", 7), 7);
}

TEST(IniWrite, UpdatesKeysOfCrFilesAndRefusesWhatItCouldNotReadBack) {
    IniFile ini;
    ini.Parse("[S]\rA=cr\r");
    ASSERT_TRUE(ini.SetString("S", "A", "new"));
    ASSERT_TRUE(ini.SetString("S", "B", "2"));
    EXPECT_EQ(ini.Serialize(), "[S]\rA=new\rB=2\r");
    // A section ending in a lone lead byte would take the "]" as its second byte.
    const std::string before = ini.Serialize();
    EXPECT_FALSE(ini.SetString("\xf6", "k", "v"));
    EXPECT_FALSE(ini.SetString("a\x81", "k", "v"));
    EXPECT_EQ(ini.Serialize(), before);
    // What can be read back is written: a lead byte with its second byte, even "]".
    ASSERT_TRUE(ini.SetString("\x81]", "k\x81", "v"));
    IniFile back;
    back.Parse(ini.Serialize());
    EXPECT_EQ(back.GetString("\x81]", "k\x81", "-"), "v");
}

TEST(IniWrite, DoesNotReplaceAFileItCannotRead) {
    TempDir dir;
    const std::string path = dir.file("folder.ini");
    fs::create_directory(path);
    WriteFile(path + "/inside", "keep");
    EXPECT_FALSE(lv::ini::WriteString(path, "S", "k", "v"));
    EXPECT_EQ(ReadFile(path + "/inside"), "keep");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"folder.ini"});
}

TEST(AtomicFile, ReplacesTheFileKeepingItsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.file("f.txt");
    WriteFile(path, "old");
#ifdef _WIN32
    // Windows has no modes to keep; the user's folder guards the files.
    ASSERT_TRUE(lv::WriteFileAtomic(path, "new content"));
    EXPECT_EQ(ReadFile(path), "new content");
    ASSERT_TRUE(lv::WriteFileAtomic(dir.file("fresh.txt"), "x", 0600));
#else
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(lv::WriteFileAtomic(path, "new content"));
    EXPECT_EQ(ReadFile(path), "new content");
    EXPECT_EQ(ModeOf(path), 0640u);
    ASSERT_TRUE(lv::WriteFileAtomic(path, "secret", 0600));
    EXPECT_EQ(ModeOf(path), 0600u);
    ASSERT_TRUE(lv::WriteFileAtomic(dir.file("fresh.txt"), "x", 0600));
    EXPECT_EQ(ModeOf(dir.file("fresh.txt")), 0600u);
#endif
    EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"f.txt", "fresh.txt"}));
}

TEST(AtomicFile, WritesThroughASymbolicLinkAndKeepsTheLink) {
#ifdef _WIN32
    GTEST_SKIP() << "the C++ library makes no symbolic links on Windows";
#endif
    TempDir dir;
    fs::create_directory(dir.file("real"));
    WriteFile(dir.file("real/s.ini"), "old");
    fs::create_symlink(dir.file("real/s.ini"), dir.file("link.ini"));
    ASSERT_TRUE(lv::WriteFileAtomic(dir.file("link.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(ReadFile(dir.file("real/s.ini")), "new");
}

TEST(AtomicFile, FailureLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    // A non-empty folder cannot be replaced by a file.
    fs::create_directory(dir.file("target"));
    WriteFile(dir.file("target/keep"), "kept");
    std::string error;
    EXPECT_FALSE(lv::WriteFileAtomic(dir.file("target"), "new", std::nullopt, &error));
    EXPECT_NE(error.find("target"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(dir.file("target/keep")), "kept");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"target"});
    // A missing folder: nothing is created.
    EXPECT_FALSE(lv::WriteFileAtomic(dir.file("missing/x.ini"), "new"));
    EXPECT_FALSE(fs::exists(dir.file("missing")));
}

TEST(AtomicFile, ATemporaryFileWrittenInStepsReplacesTheTargetOnlyOnCommit) {
    TempDir dir;
    WriteFile(dir.file("Library.csv"), "old");
    const std::string tmp = lv::CreateTempFile(dir.file("~RD"));
    ASSERT_FALSE(tmp.empty());
    EXPECT_EQ(fs::path(tmp).filename().string().rfind("~RD", 0), 0u) << tmp;
#ifndef _WIN32
    EXPECT_EQ(ModeOf(tmp), 0600u);
#endif
    EXPECT_NE(lv::CreateTempFile(dir.file("~RD")), tmp);
    WriteFile(tmp, "new");
    EXPECT_EQ(ReadFile(dir.file("Library.csv")), "old");
    ASSERT_TRUE(lv::CommitFile(tmp, dir.file("Library.csv")));
    EXPECT_EQ(ReadFile(dir.file("Library.csv")), "new");
    EXPECT_FALSE(fs::exists(tmp));

    // A commit that cannot rename keeps both files as they were.
    const std::string other = lv::CreateTempFile(dir.file("~RD"));
    fs::create_directory(dir.file("busy"));
    WriteFile(dir.file("busy/keep"), "kept");
    std::string error;
    EXPECT_FALSE(lv::CommitFile(other, dir.file("busy"), &error));
    EXPECT_NE(error.find("busy"), std::string::npos) << error;
    EXPECT_TRUE(fs::exists(other));
    EXPECT_EQ(ReadFile(dir.file("busy/keep")), "kept");
    // No folder, no temporary file.
    EXPECT_TRUE(lv::CreateTempFile(dir.file("missing/~RD")).empty());
}
