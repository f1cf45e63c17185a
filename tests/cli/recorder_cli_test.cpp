// librovista-cli run as a user runs it, on a temporary program folder.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::CliResult;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

class Cli : public ::testing::Test {
protected:
    TempDir home;
    TempDir scratch;  // for files outside the program folder

    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home.dir()});
        return lv::test::RunCli(args);
    }

    std::string Doc() { return ReadFile(home.file("Default.lbv")); }

    void Add(const std::string& name, const std::string& model) {
        CliResult r = Run({"recorder", "add", name, "--model", model, "--host", "rd.local"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    void Cache(const std::string& name, const char* file, const std::string& bytes) {
        fs::create_directories(home.file(name));
        WriteFile(home.file(name + "/" + file), bytes);
    }
};

}  // namespace

TEST_F(Cli, FirstStartCreatesAnEmptyDocument) {
    CliResult r = Run({"recorders"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(fs::is_regular_file(home.file("Default.lbv")));
    EXPECT_EQ(Doc(), "");

    // A document named on the command line is not created.
    r = Run({"--doc", scratch.file("absent.lbv"), "recorders"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("absent.lbv"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch.file("absent.lbv")));
}

// The lines' layout is the golden listings'; here an added recorder is
// listed, and so are names the document holds but no profile can.
TEST_F(Cli, AddedRecordersAreListedInTheDocumentsOrder) {
    Add("RD-A", "RD-XS40");
    Add("RD-B", "RD-XS41");
    EXPECT_EQ(Doc(), "RD-A\r\nRD-B\r\n");
    // A blank line and a hand-edited name that no profile may have.
    WriteFile(home.file("Default.lbv"), Doc() + "\r\n" + SJ("居間") + "\r\n");

    CliResult r = Run({"recorders"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "RD-A\tRD-XS40\t1\t0\t0\n"
              "RD-B\tRD-XS41\t2\t0\t0\n"
              "\t-\n"
              "居間\t-\n");

    r = Run({"titles", "RD-X"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("RD-X"), std::string::npos);
}

// The order of the checks is the core's; here the message and the exit code.
TEST_F(Cli, ARefusedValueGivesTheDialogsMessage) {
    CliResult r = Run({"recorder", "add", "RD-1", "--model", "RD-X5", "--host", "h", "--port", "1999"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ﾎﾟｰﾄ番号が無効です。\n");
    // The raw bytes with --cp932.
    r = Run({"--cp932", "recorder", "add", "RD-1", "--model", "RD-X5", "--host", TypedWithCp932("ホスト")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, SJ("ﾎｽﾄ名が無効です。") + "\n");
    EXPECT_EQ(Doc(), "");
    EXPECT_EQ(fs::directory_iterator(home.path())->path().filename(), "Default.lbv");

    for (const char* port : {"eighty", "80-1", "80+", " 80", ""}) {
        r = Run({"recorder", "add", "RD-1", "--model", "RD-X5", "--host", "h", "--port", port});
        EXPECT_EQ(r.exitCode, 2) << port;
    }
    EXPECT_FALSE(fs::exists(home.path() / "RD-1.ini"));
}

TEST_F(Cli, AddingAnExistingNameNeedsForceAndReplacesItsFiles) {
    Add("RD-1", "RD-X5");
    CliResult r = Run({"recorder", "add", "RD-1", "--model", "RD-X6", "--host", "new.local"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("--force"), std::string::npos);

    r = Run({"recorder", "add", "RD-1", "--model", "RD-X6", "--host", "new.local", "--force"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Doc(), "RD-1\r\n");
    r = Run({"recorder", "show", "RD-1"});
    EXPECT_EQ(r.out, "Name\tRD-1\nModel\tRD-X6\nModelClass\t3\nHost\tnew.local\nPort\t80\nAuth\t0\nUser\t\n");
}

TEST_F(Cli, SetChangesOnlyWhatIsGiven) {
    ASSERT_EQ(Run({"recorder", "add", "RD-1", "--model", "RD-XS41", "--host", "h1", "--port", "8080", "--auth",
                   "--user", "me", "--password", "Secret-16chars-x"})
                  .exitCode,
              0);
    CliResult r = Run({"recorder", "set", "RD-1", "--host", "h2", "--no-auth"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Run({"recorder", "show", "RD-1", "--password"});
    EXPECT_EQ(r.out,
              "Name\tRD-1\nModel\tRD-XS41\nModelClass\t2\nHost\th2\nPort\t8080\nAuth\t0\nUser\tme\n"
              "Password\tSecret-16chars-x\n");

    const std::string before = ReadFile(home.file("RD-1.ini"));
    EXPECT_EQ(Run({"recorder", "set", "RD-1", "--port", "1999"}).exitCode, 1);
    EXPECT_EQ(ReadFile(home.file("RD-1.ini")), before);

    r = Run({"recorder", "set", "RD-2", "--host", "h"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(fs::exists(home.file("RD-2.ini")));
}

TEST_F(Cli, RenameMovesFilesAndKeepsThePlaceInTheDocument) {
    Add("RD-A", "RD-X5");
    Add("RD-B", "RD-X6");
    Cache("RD-A", "Library.csv",
          "\"HDD\",\"t\",\"2007/03/04\",\"Sun\",\"1:00\",\"101\",\"\",\"\",\"\",\"\",\"p.htm\",\"\",\"\"\r\n");
    Cache("RD-A", "20070304100101.txt", "line\r\r\nnext");
    Cache("RD-B", "Library.csv", "B's titles");

    CliResult r = Run({"recorder", "rename", "RD-A", "RD-B"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("--force"), std::string::npos);
    EXPECT_EQ(Doc(), "RD-A\r\nRD-B\r\n");

    r = Run({"recorder", "rename", "RD-A", "RD-B", "--force"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Doc(), "RD-B\r\n");

    // The moved description is found under the new name.
    r = Run({"description", "RD-B", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "line\r\nnext\r\n");
    EXPECT_EQ(Run({"description", "RD-B", "1"}).exitCode, 1);
    EXPECT_EQ(Run({"description", "RD-B", "x"}).exitCode, 2);
}

TEST_F(Cli, DeleteRemovesFilesAndTheEntryUnlessAFileStaysBehind) {
    Add("RD-A", "RD-X5");
    Add("RD-B", "RD-X6");
    Cache("RD-A", "Library.csv", "x");
    fs::create_directories(home.file("RD-B/sub"));

    CliResult r = Run({"recorder", "delete", "RD-A"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Doc(), "RD-B\r\n");

    r = Run({"recorder", "delete", "RD-B"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("sub"), std::string::npos) << r.err;
    EXPECT_EQ(Doc(), "RD-B\r\n");
    EXPECT_EQ(Run({"recorder", "delete", "RD-Z"}).exitCode, 1);
}

TEST_F(Cli, ARenameKilledAfterTheProfileMovedIsFinishedByRunningItAgain) {
    Add("RD-A", "RD-X5");
    ASSERT_EQ(Run({"recorder", "set", "RD-A", "--port", "2080"}).exitCode, 0);
    Cache("RD-A", "Library.csv", "A's titles");
    // The profile moved, the entry did not follow.
    fs::rename(home.file("RD-A.ini"), home.file("RD-B.ini"));
    CliResult r = Run({"recorder", "rename", "RD-A", "RD-B"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Doc(), "RD-B\r\n");
    EXPECT_EQ(ReadFile(home.file("RD-B/Library.csv")), "A's titles");
    r = Run({"recorder", "show", "RD-B"});
    EXPECT_NE(r.out.find("Model\tRD-X5\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Port\t2080\n"), std::string::npos) << r.out;
}

TEST_F(Cli, AFileThatIsNoFileIsNamedAsSuch) {
    const std::string special = scratch.file("doc.lbv");
#ifdef _WIN32
    // Windows has no FIFOs; a folder is no file either.
    fs::create_directory(special);
#else
    ASSERT_EQ(::mkfifo(special.c_str(), 0600), 0);
#endif
    CliResult r = Run({"--doc", special, "recorders"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    r = Run({"parse", "--library", special});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
}
