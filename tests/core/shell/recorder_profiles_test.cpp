#include "core/shell/recorder_profiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/text/messages.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;
using Names = std::vector<std::string>;

namespace {

PROFILE_FIELDS Valid() { return {"RD-X5", "192.168.1.20", 80, 0, "", ""}; }

// A program folder and the overwrite question's answers.
class Profiles : public ::testing::Test {
protected:
    TempDir home;
    std::vector<std::string> asked;
    bool answer = false;

    ConfirmOverwrite Confirm() {
        return [this](const std::string& name) {
            asked.push_back(name);
            return answer;
        };
    }
    PROFILE_RESULT SaveNew(const std::string& name, const PROFILE_FIELDS& f = Valid()) {
        CNetNaviSetting setting(home.dir());
        return SaveProfile(setting, f, name, Confirm());
    }
    // A recorder with a profile and a cache holding a library and a description.
    void AddRecorder(const std::string& name, const std::string& model) {
        PROFILE_FIELDS f = Valid();
        f.strModel = model;
        ASSERT_TRUE(SaveNew(name, f).Ok());
        fs::create_directory(home.file(name));
        WriteFile(home.file(name + "/Library.csv"), name + "'s titles");
        WriteFile(home.file(name + "/20051221190001.txt"), "description");
    }
    PROFILE_FIELDS Load(const std::string& name) {
        CNetNaviSetting setting(home.dir());
        PROFILE_FIELDS f;
        EXPECT_TRUE(LoadProfileFields(setting, name, f));
        return f;
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(home.path()), {}));
    }
};

}  // namespace

TEST_F(Profiles, TheFirstRefusalInTheFieldsOrderThenTheName) {
    namespace msg = lv::msg;
    struct Case {
        PROFILE_FIELDS fields;
        std::string name;
        PROFILE_FIELD field;
        const std::string& message;
    };
    // Each case also breaks every later field, so only the order can pick the message.
    const std::vector<Case> cases = {
        {{"RD-XX", "bad host", 1999, 0, "a b", "p w"}, SJ("録画"), PF_MODEL, msg::BadModel()},
        {{"RD-X5", "bad host", 1999, 0, "a b", "p w"}, SJ("録画"), PF_HOST, msg::BadHost()},
        {{"RD-X5", "h", 1999, 0, "a b", "p w"}, SJ("録画"), PF_PORT, msg::BadPort()},
        {{"RD-X5", "h", 10001, 0, "", ""}, "RD1", PF_PORT, msg::BadPort()},
        // User name and password are checked with security off too.
        {{"RD-X5", "h", 10000, 0, SJ("ユーザー"), "p w"}, SJ("録画"), PF_USER, msg::BadUser()},
        {{"RD-X5", "h", 2000, 1, "guest", "p.w"}, SJ("録画"), PF_PASSWORD, msg::BadPassword()},
        {{"RD-X5", "h", 80, 0, "guest", "pw"}, SJ("録画"), PF_NAME, msg::BadName()},
        // No profile without a name: it would be the application's settings file.
        {{"RD-X5", "h", 80, 0, "", ""}, "", PF_NAME, msg::BadName()},
    };
    for (const Case& c : cases) {
        const PROFILE_RESULT r = SaveNew(c.name, c.fields);
        EXPECT_EQ(r.nStep, PROFILE_REFUSED) << c.message;
        EXPECT_EQ(r.nField, c.field) << c.message;
        EXPECT_EQ(r.strMessage, c.message);
    }
    EXPECT_EQ(Entries(), 0u);
    EXPECT_TRUE(asked.empty());
}

TEST_F(Profiles, TakingAnExistingNameAsksAndOverwritesItsFiles) {
    AddRecorder("RDA", "RD-X5");
    // Declined: nothing on disk changes.
    PROFILE_RESULT r = SaveNew("RDA", {"RD-XS40", "10.0.0.5", 80, 0, "", ""});
    EXPECT_EQ(r.nStep, PROFILE_DECLINED);
    EXPECT_EQ(asked, Names{"RDA"});
    EXPECT_EQ(Load("RDA").strModel, "RD-X5");
    EXPECT_EQ(ReadFile(home.file("RDA/Library.csv")), "RDA's titles");

    // Confirmed: the old profile and its whole cache go.
    answer = true;
    r = SaveNew("RDA", {"RD-XS40", "10.0.0.5", 80, 0, "", ""});
    ASSERT_TRUE(r.Ok()) << r.strFileError;
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_FALSE(fs::exists(home.file("RDA")));
    EXPECT_EQ(Load("RDA").strModel, "RD-XS40");
    EXPECT_EQ(Load("RDA").strHost, "10.0.0.5");
}

TEST_F(Profiles, AnythingInTheCacheFoldersPlaceCountsAsExisting) {
    // A plain file, no folder, and no profile file.
    WriteFile(home.file("R3"), "user's file");
    EXPECT_TRUE(RecorderFilesExist(home.dir(), "R3"));
    EXPECT_EQ(SaveNew("R3").nStep, PROFILE_DECLINED);
    EXPECT_EQ(asked, Names{"R3"});
    EXPECT_FALSE(fs::exists(home.file("R3.ini")));
    // Confirmed, the file goes with the rest, so the cache folder can be made.
    answer = true;
    EXPECT_TRUE(SaveNew("R3").Ok());
    EXPECT_TRUE(fs::exists(home.file("R3.ini")));
    EXPECT_FALSE(fs::exists(home.file("R3")));

    fs::create_directory(home.file("R4"));
    EXPECT_TRUE(RecorderFilesExist(home.dir(), "R4"));
    WriteFile(home.file("R5.ini"), "");
    EXPECT_TRUE(RecorderFilesExist(home.dir(), "R5"));
    EXPECT_FALSE(RecorderFilesExist(home.dir(), "R6"));
    EXPECT_FALSE(RecorderFilesExist(home.dir(), ""));
}

TEST_F(Profiles, ARenameOntoAnotherRecorderReplacesIt) {
    AddRecorder("RDA", "RD-X5");
    AddRecorder("RDB", "RD-X6");
    CNetNaviSetting setting(home.dir());
    PROFILE_FIELDS f;
    ASSERT_TRUE(LoadProfileFields(setting, "RDA", f));
    answer = true;
    ASSERT_TRUE(SaveProfile(setting, f, "RDB", Confirm()).Ok());
    EXPECT_EQ(asked, Names{"RDB"});
    EXPECT_FALSE(fs::exists(home.file("RDA.ini")));
    EXPECT_FALSE(fs::exists(home.file("RDA")));
    EXPECT_EQ(Load("RDB").strModel, "RD-X5");
    EXPECT_EQ(ReadFile(home.file("RDB/Library.csv")), "RDA's titles");
}

TEST_F(Profiles, KeepingTheNameOnlySavesWithoutAsking) {
    AddRecorder("RDB", "RD-X6");
    CNetNaviSetting setting(home.dir());
    PROFILE_FIELDS f;
    ASSERT_TRUE(LoadProfileFields(setting, "RDB", f));
    f = {"RD-X3", "rd.local", 10000, 0, "guest", "pw"};
    ASSERT_TRUE(SaveProfile(setting, f, "RDB", Confirm()).Ok());
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(fs::exists(home.file("RDB/Library.csv")));
    // User name and password are kept with security off too.
    EXPECT_EQ(Load("RDB").strPassword, "pw");

    // A refused name loads nothing and leaves the fields alone.
    EXPECT_FALSE(LoadProfileFields(setting, "RD_1", f));
    EXPECT_EQ(f.strHost, "rd.local");
}

TEST_F(Profiles, FileFailuresCarryTheirErrorAndWhatToTell) {
    // A folder stands where RDB's profile file goes.
    fs::create_directory(home.file("RDB.ini"));
    CNetNaviSetting setting(home.dir());
    ASSERT_TRUE(setting.SetName("RDB"));
    PROFILE_RESULT r = SaveProfile(setting, Valid(), "RDB", Confirm());
    EXPECT_EQ(r.nStep, PROFILE_SAVE_FAILED);
    EXPECT_EQ(r.strMessage, lv::msg::SaveFailed());

    // A new recorder cannot take the name: the folder is no profile to delete.
    answer = true;
    r = SaveNew("RDB");
    EXPECT_EQ(r.nStep, PROFILE_OVERWRITE_FAILED);
    EXPECT_NE(r.strFileError.find("RDB.ini"), std::string::npos) << r.strFileError;
    EXPECT_EQ(r.strMessage, "");
    EXPECT_TRUE(fs::is_directory(home.file("RDB.ini")));
}

TEST(RecorderNames, AddAppendsOnlyWhatIsNotListed) {
    Names names{"RDA"};
    AddRecorderName(names, "RDB");
    AddRecorderName(names, "RDA");
    EXPECT_EQ(names, (Names{"RDA", "RDB"}));
}

TEST(RecorderNames, ARenameKeepsThePlaceAndReplacesAnotherEntryOfTheName) {
    Names names{"RDA", "RDB", "RDC"};
    int index = 0;
    EXPECT_FALSE(RenameRecorderName(names, index, "RDA"));
    EXPECT_TRUE(RenameRecorderName(names, index, "RDC"));
    EXPECT_EQ(names, (Names{"RDC", "RDB"}));
    EXPECT_EQ(index, 0);
    // The other entry above: the renamed one moves up with the list.
    index = 1;
    EXPECT_TRUE(RenameRecorderName(names, index, "RDC"));
    EXPECT_EQ(names, Names{"RDC"});
    EXPECT_EQ(index, 0);
    index = 0;
    EXPECT_TRUE(RenameRecorderName(names, index, "RDD"));
    EXPECT_EQ(names, Names{"RDD"});
    index = 3;
    EXPECT_FALSE(RenameRecorderName(names, index, "RDE"));
}

TEST_F(Profiles, DeleteRemovesTheFilesThenTheEntry) {
    AddRecorder("RDA", "RD-X5");
    AddRecorder("RDB", "RD-X6");
    fs::create_directory(home.file("RDB/sub"));
    Names names{"RDA", "RDB", SJ("録画")};

    ASSERT_TRUE(DeleteRecorder(home.dir(), names, 0).Ok());
    EXPECT_FALSE(fs::exists(home.file("RDA.ini")));
    EXPECT_FALSE(fs::exists(home.file("RDA")));
    EXPECT_EQ(names, (Names{"RDB", SJ("録画")}));

    // Stopped at the sub-folder: the entry and its profile stay.
    PROFILE_RESULT r = DeleteRecorder(home.dir(), names, 0);
    EXPECT_EQ(r.nStep, PROFILE_DELETE_FAILED);
    EXPECT_NE(r.strFileError, "");
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(Load("RDB").strModel, "RD-X6");

    // A hand-edited name that no profile may have deletes nothing.
    r = DeleteRecorder(home.dir(), names, 1);
    EXPECT_EQ(r.nField, PF_NAME);
    EXPECT_EQ(r.strMessage, lv::msg::BadName());
    EXPECT_EQ(r.strFileError, "");
    EXPECT_EQ(names.size(), 2u);
}

// The document's list joined to the save: `saves` answers each write of the document.
class LinkedProfiles : public Profiles {
protected:
    Names names;
    int written = 0;
    bool writable = true;
    RECORDER_LIST List(int index) {
        return {&names, index, [this] {
                    ++written;
                    return writable;
                }};
    }
};

TEST_F(LinkedProfiles, ARenameTheDocumentCannotRecordIsMovedBack) {
    AddRecorder("R1", "RD-X5");
    names = {"R0", "R1"};
    CNetNaviSetting setting(home.dir());
    PROFILE_FIELDS f;
    ASSERT_TRUE(LoadProfileFields(setting, "R1", f));
    f.nPort = 2080;
    writable = false;
    RECORDER_LIST list = List(1);
    PROFILE_RESULT r = SaveProfile(setting, f, "R2", Confirm(), &list);
    EXPECT_EQ(r.nStep, PROFILE_DOCUMENT_FAILED);
    EXPECT_EQ(r.strMessage, lv::msg::SaveFailed());
    EXPECT_EQ(written, 1);
    // Usable under its old name as it was: the files, the entry, the values.
    EXPECT_EQ(names, (Names{"R0", "R1"}));
    EXPECT_EQ(list.nIndex, 1);
    EXPECT_EQ(setting.GetName(), "R1");
    EXPECT_FALSE(fs::exists(home.file("R2.ini")));
    EXPECT_FALSE(fs::exists(home.file("R2")));
    EXPECT_EQ(ReadFile(home.file("R1/Library.csv")), "R1's titles");
    EXPECT_EQ(Load("R1").nPort, 80);

    // Written: the files move, the entry keeps its place, the profile has the new values.
    writable = true;
    r = SaveProfile(setting, f, "R2", Confirm(), &list);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(names, (Names{"R0", "R2"}));
    EXPECT_EQ(ReadFile(home.file("R2/Library.csv")), "R1's titles");
    EXPECT_EQ(Load("R2").nPort, 2080);
    EXPECT_FALSE(fs::exists(home.file("R1.ini")));
}

TEST_F(LinkedProfiles, AnAddTakesOverAnOrphanProfileAndNeedsItsEntryWritten) {
    // The profile of an add that was killed before its entry was written.
    ASSERT_TRUE(SaveNew("R1").Ok());
    names = {"R0"};
    EXPECT_TRUE(IsOrphanProfile(home.dir(), "R1", names));
    EXPECT_FALSE(IsOrphanProfile(home.dir(), "R1", Names{"R1"}));

    PROFILE_FIELDS f = Valid();
    f.strHost = "10.0.0.9";
    CNetNaviSetting setting(home.dir());
    RECORDER_LIST list = List(-1);
    ASSERT_TRUE(SaveProfile(setting, f, "R1", Confirm(), &list).Ok());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(names, (Names{"R0", "R1"}));
    EXPECT_EQ(Load("R1").strHost, "10.0.0.9");

    // An unlisted profile with a cache is a recorder: still asked about.
    AddRecorder("R2", "RD-X5");
    EXPECT_FALSE(IsOrphanProfile(home.dir(), "R2", names));
    CNetNaviSetting other(home.dir());
    list = List(-1);
    EXPECT_EQ(SaveProfile(other, f, "R2", Confirm(), &list).nStep, PROFILE_DECLINED);
    EXPECT_EQ(asked, Names{"R2"});

    // A document that cannot be written: no entry and no profile.
    writable = false;
    CNetNaviSetting third(home.dir());
    list = List(-1);
    EXPECT_EQ(SaveProfile(third, f, "R3", Confirm(), &list).nStep, PROFILE_DOCUMENT_FAILED);
    EXPECT_EQ(names, (Names{"R0", "R1"}));
    EXPECT_FALSE(fs::exists(home.file("R3.ini")));
}

TEST_F(LinkedProfiles, ARenameKilledAfterTheProfileMovedIsFinishedWithoutAsking) {
    // Killed after the profile moved, and after the cache folder moved too.
    for (bool folderMoved : {false, true}) {
        SCOPED_TRACE(folderMoved);
        AddRecorder("R1", "RD-X5");
        names = {"R0", "R1"};
        fs::rename(home.file("R1.ini"), home.file("R2.ini"));
        if (folderMoved) fs::rename(home.file("R1"), home.file("R2"));
        EXPECT_TRUE(IsInterruptedRename(home.dir(), "R1", "R2", names));

        CNetNaviSetting setting(home.dir());
        PROFILE_FIELDS f;
        ASSERT_TRUE(LoadProfileFields(setting, "R2", f));
        ASSERT_TRUE(setting.SetName("R1"));
        RECORDER_LIST list = List(1);
        PROFILE_RESULT r = SaveProfile(setting, f, "R2", Confirm(), &list);
        ASSERT_TRUE(r.Ok()) << r.strFileError;
        EXPECT_TRUE(asked.empty());
        EXPECT_EQ(names, (Names{"R0", "R2"}));
        EXPECT_EQ(ReadFile(home.file("R2/Library.csv")), "R1's titles");
        EXPECT_EQ(Load("R2").strModel, "RD-X5");
        EXPECT_FALSE(fs::exists(home.file("R1")));
        CNetNaviSetting done(home.dir());
        ASSERT_TRUE(done.SetName("R2") && done.Delete());
    }
    // Not a rename cut short: the old profile is there, or the new name is listed or has none.
    AddRecorder("R1", "RD-X5");
    AddRecorder("R2", "RD-X5");
    EXPECT_FALSE(IsInterruptedRename(home.dir(), "R1", "R2", Names{"R1"}));
    fs::remove(home.file("R1.ini"));
    EXPECT_TRUE(IsInterruptedRename(home.dir(), "R1", "R2", Names{"R1"}));
    EXPECT_FALSE(IsInterruptedRename(home.dir(), "R1", "R2", Names{"R1", "R2"}));
    EXPECT_FALSE(IsInterruptedRename(home.dir(), "R1", "R2", Names{"R0"}));
    EXPECT_FALSE(IsInterruptedRename(home.dir(), "R1", "R3", Names{"R1"}));
}
