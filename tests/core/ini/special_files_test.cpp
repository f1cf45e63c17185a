// A FIFO, a device or a folder where the program expects one of its files:
// every reader treats it as unreadable at once, never waits on it and never
// reads it without end.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "core/shell/app_settings.h"
#include "core/shell/keyword_history.h"
#include "core/text/messages.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

class SpecialFiles : public ::testing::Test {
protected:
    TempDir home;
    std::vector<std::string> fifos;

    void SetUp() override {
        CNetNaviSetting setting(home.dir());
        ASSERT_TRUE(setting.SetName("R1") && setting.SetModel("RD-X5") && setting.SetHost("rd") && setting.Save());
        fs::create_directory(home.file("R1"));
        WriteFile(home.file("Default.lbv"), "R1\r\n");
    }

#ifndef _WIN32
    void MakeFifo(const std::string& name) {
        const std::string path = home.file(name);
        fs::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        fifos.push_back(path);
    }
#endif

    // Runs `read`; a reader that hangs in open is set free by a writer that
    // comes and goes, so that the test reports it instead of hanging too.
    void ReadsPromptly(const std::function<void()>& read) {
        auto done = std::async(std::launch::async, read);
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return done.get();
        ADD_FAILURE() << "a reader waited on a FIFO";
#ifndef _WIN32
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            for (const std::string& f : fifos)
                if (int fd = ::open(f.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
#endif
    }
};

}  // namespace

TEST_F(SpecialFiles, AFifoReadsAsUnreadable) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in its file system";
#else
    MakeFifo("Default.lbv");
    ReadsPromptly([&] {
        CRDTitleDoc doc(home.dir());
        EXPECT_FALSE(doc.OnOpenDocument(home.file("Default.lbv")));
        EXPECT_TRUE(doc.GetRecorderNames().empty());
    });
    EXPECT_TRUE(lv::IsSpecialFile(home.file("Default.lbv")));
    EXPECT_FALSE(lv::IsSpecialFile(home.file("R1.ini")));
    EXPECT_FALSE(lv::IsSpecialFile(home.file("absent")));
    fs::remove(home.file("Default.lbv"));
    WriteFile(home.file("Default.lbv"), "R1\r\n");

    // A profile: the recorder is listed with the defaults.
    MakeFifo("R1.ini");
    MakeFifo("R1/Library.csv");
    MakeFifo("R1/Disc.csv");
    ReadsPromptly([&] {
        CRDTitleDoc doc(home.dir());
        ASSERT_TRUE(doc.OnOpenDocument(home.file("Default.lbv")));
        ASSERT_EQ(doc.GetRecorders().size(), 1u);
        EXPECT_EQ(doc.GetRecorders()[0]->GetModel(), "");
        EXPECT_EQ(doc.GetRecorders()[0]->GetTitleCount(), 0);
        EXPECT_TRUE(doc.GetRecorders()[0]->ModeLabels().empty());
        // What a transfer reports instead of the host it never read.
        CNetNaviSetting profile(home.dir());
        ASSERT_TRUE(profile.SetName("R1") && profile.Load());
        EXPECT_EQ(profile.GetErrorText(), "R1.ini: not a regular file");
    });

    MakeFifo("R1/20051221190001.txt");
    MakeFifo("Input.dat");
    MakeFifo("librovista.ini");
    ReadsPromptly([&] {
        CRDTitleDoc doc(home.dir());
        EXPECT_FALSE(doc.LoadDescription(home.file("R1/20051221190001.txt")));
        EXPECT_EQ(doc.GetDescription(), lv::msg::NotFetched());

        std::vector<std::string> history;
        EXPECT_FALSE(LoadHistory(history, home.file("Input.dat")));
        EXPECT_TRUE(history.empty());

        CAppSettings settings;
        settings.m_nRecMode = 3;
        settings.LoadSettings(home.file("librovista.ini"));
        EXPECT_EQ(settings.m_nRecMode, 0);
    });
#endif
}

TEST_F(SpecialFiles, ADeviceOrAFolderIsNotReadWithoutEnd) {
    // A link to a device that never ends; Windows has no such file to name
    // (nor links here), so a folder takes the file's place there.
    const auto notAFile = [&](const std::string& name) {
        fs::remove(home.file(name));
#ifdef _WIN32
        fs::create_directory(home.file(name));
#else
        fs::create_symlink("/dev/zero", home.file(name));
#endif
    };
    notAFile("R1/Library.csv");
    CRDTitleDoc doc(home.dir());
    ASSERT_TRUE(doc.OnOpenDocument(home.file("Default.lbv")));
    ASSERT_EQ(doc.GetRecorders().size(), 1u);
    EXPECT_EQ(doc.GetRecorders()[0]->GetModel(), "RD-X5");
    EXPECT_EQ(doc.GetRecorders()[0]->GetTitleCount(), 0);

    notAFile("Default.lbv");
    EXPECT_FALSE(doc.OnOpenDocument(home.file("Default.lbv")));

    std::string bytes;
    EXPECT_FALSE(lv::ReadWholeFile(home.file("R1"), bytes));
    EXPECT_FALSE(lv::platform::OpenRegularFile(home.file("R1")));
    EXPECT_EQ(errno, EISDIR);

#ifndef _WIN32
    // A link to a regular file is read through.
    fs::create_symlink(home.file("R1.ini"), home.file("link.ini"));
    EXPECT_TRUE(lv::ReadWholeFile(home.file("link.ini"), bytes));
    EXPECT_NE(bytes.find("RD-X5"), std::string::npos);
#endif
}

// A FIFO or a folder in the place of a file the program replaces, or a link
// to one, stays as it is: the save fails naming the file and leaves no
// temporary file. Windows has neither FIFOs nor links here: a folder there.
TEST_F(SpecialFiles, OnlyARegularFileOrNothingIsReplaced) {
    std::vector<std::string> places{"folder"};
    fs::create_directory(home.file("folder"));
#ifndef _WIN32
    MakeFifo("fifo");
    fs::create_symlink(home.file("fifo"), home.file("to-fifo"));
    fs::create_symlink(home.file("folder"), home.file("to-folder"));
    places.insert(places.end(), {"fifo", "to-fifo", "to-folder"});
#endif
    const auto entries = [&] { return std::distance(fs::directory_iterator(home.path()), {}); };
    const auto before = entries();
    for (const std::string& name : places) {
        std::string error;
        EXPECT_FALSE(lv::WriteFileAtomic(home.file(name), "new", std::nullopt, &error)) << name;
        EXPECT_EQ(error, name + ": not a regular file");
        const std::string tmp = lv::CreateTempFile(home.file("~RD"));
        EXPECT_FALSE(lv::CommitFile(tmp, home.file(name), &error)) << name;
        EXPECT_EQ(error, name + ": not a regular file");
        lv::platform::Unlink(tmp);
    }
    EXPECT_EQ(entries(), before);
#ifndef _WIN32
    EXPECT_TRUE(fs::is_fifo(home.file("fifo")));
    EXPECT_TRUE(fs::is_symlink(home.file("to-fifo")));
#endif
}
