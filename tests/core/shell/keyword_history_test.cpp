#include "core/shell/keyword_history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/sjis.h"
#include "support/temp_dir.h"

namespace {

using List = std::vector<std::string>;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

// What the quick search does with a typed keyword: add it, then save.
void Search(List& list, const std::string& path, const std::string& text) {
    AddKeyword(list, text);
    SaveHistory(list, path);
}

TEST(KeywordHistory, NewestFirstInListAndFile) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    EXPECT_EQ(path, dir.dir() + "Input.dat");
    List list;
    Search(list, path, "ab");
    Search(list, path, "cd");
    Search(list, path, "ef");
    EXPECT_EQ(list, (List{"ef", "cd", "ab"}));
    EXPECT_EQ(ReadFile(path), "ef\r\ncd\r\nab\r\n");

    Search(list, path, "ab");
    EXPECT_EQ(list, (List{"ab", "ef", "cd"}));
    EXPECT_EQ(ReadFile(path), "ab\r\nef\r\ncd\r\n");
}

TEST(KeywordHistory, RemovesOneEntryThatBeginsWithTheKeywordWhateverItsCase) {
    List list{"abc"};
    AddKeyword(list, "ABC");
    EXPECT_EQ(list, (List{"ABC"}));

    list = {"ef", "abcd"};
    AddKeyword(list, "ab");
    EXPECT_EQ(list, (List{"ab", "ef"}));

    // The second entry is tried first and the top one last; only one goes.
    list = {"abx", "ef", "aby", "abz"};
    AddKeyword(list, "AB");
    EXPECT_EQ(list, (List{"AB", "abx", "ef", "abz"}));

    // An entry that is only a prefix of the keyword stays.
    list = {"a"};
    AddKeyword(list, "ab");
    EXPECT_EQ(list, (List{"ab", "a"}));

    // Nothing to add for an empty keyword.
    AddKeyword(list, "");
    EXPECT_EQ(list, (List{"ab", "a"}));
}

TEST(KeywordHistory, TheBoxShowsTheFirstMatchAfterTheTopEntry) {
    List list{"abx", "ef", "aby"};
    AddKeyword(list, "ab");
    ASSERT_EQ(list, (List{"ab", "abx", "ef"}));
    // Another entry still begins with the keyword: the box shows that one.
    EXPECT_EQ(FindKeywordPrefix(list, "ab", 0), 1);
    // Normally the search wraps round to the new top entry.
    List plain{"cd"};
    AddKeyword(plain, "ab");
    EXPECT_EQ(FindKeywordPrefix(plain, "ab", 0), 0);
    EXPECT_EQ(FindKeywordPrefix(plain, "zz", 0), -1);
    EXPECT_EQ(FindKeywordPrefix(List{}, "ab", 0), -1);
}

TEST(KeywordHistory, KeepsAtMostFiftyEntries) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    List list;
    for (int i = 1; i <= 51; ++i) Search(list, path, "k" + std::to_string(i) + "x");
    ASSERT_EQ(list.size(), 50u);
    EXPECT_EQ(list.front(), "k51x");
    EXPECT_EQ(list.back(), "k2x");

    List reread;
    EXPECT_TRUE(LoadHistory(reread, path));
    EXPECT_EQ(reread, list);
}

TEST(KeywordHistory, AHandEditedFileIsReadWholeAndCutAtTheNextSave) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    std::string text;
    for (int i = 0; i < 80; ++i) text += "line" + std::to_string(i) + "\r\n";
    text += std::string(100, 'L') + "\n";  // longer than the box takes when typed
    WriteFile(path, text);

    List list;
    EXPECT_TRUE(LoadHistory(list, path));
    ASSERT_EQ(list.size(), 81u);
    EXPECT_EQ(list[0], "line0");
    EXPECT_EQ(list[80], std::string(100, 'L'));

    Search(list, path, "new");
    EXPECT_EQ(list.size(), 50u);
    List reread;
    LoadHistory(reread, path);
    EXPECT_EQ(reread, list);
    EXPECT_EQ(reread.back(), "line48");
}

TEST(KeywordHistory, BlankLinesAndTrailingCarriageReturnsMakeNoEntries) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    WriteFile(path, "\r\na\r\n\r\n\r\r\nb\r\r\n\n\r\nc");
    List list{"kept"};
    EXPECT_TRUE(LoadHistory(list, path));
    EXPECT_EQ(list, (List{"kept", "a", "b", "c"}));
}

TEST(KeywordHistory, MissingOrUnreadableFileLeavesTheListAsItWas) {
    TempDir dir;
    List list{"x"};
    EXPECT_TRUE(LoadHistory(list, dir.file("none.dat")));
    EXPECT_EQ(list, (List{"x"}));
    // A folder in the file's place exists but cannot be read as a file.
    std::filesystem::create_directory(dir.file("Input.dat"));
    EXPECT_FALSE(LoadHistory(list, dir.file("Input.dat")));
    EXPECT_EQ(list, (List{"x"}));
}

TEST(KeywordHistory, AFileThatCannotBeWrittenKeepsItsContents) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    WriteFile(path, "old\r\n");
    ASSERT_TRUE(lv::test::MakeReadOnly(path));
    List list{"old"};
    AddKeyword(list, "new");
    EXPECT_FALSE(SaveHistory(list, path));
    EXPECT_EQ(list, (List{"new", "old"}));  // the list is still updated
    EXPECT_EQ(ReadFile(path), "old\r\n");
}

TEST(KeywordHistory, SaveSkipsEmptyEntriesAndReplacesTheWholeFile) {
    TempDir dir;
    const std::string path = GetHistoryPath(dir.dir());
    WriteFile(path, "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_TRUE(SaveHistory(List{"x", "", "y"}, path));
    EXPECT_EQ(ReadFile(path), "x\r\ny\r\n");
    EXPECT_TRUE(SaveHistory(List{}, path));
    EXPECT_EQ(ReadFile(path), "");
}

}  // namespace
