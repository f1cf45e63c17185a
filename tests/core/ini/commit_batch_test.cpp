// Finished temporaries put in place together: nothing is replaced before the
// commit, a batch dropped before it leaves the old files and no temporary, and
// a file that cannot be replaced fails the commit without holding back the rest.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "core/ini/atomic_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

std::string Finished(const TempDir& dir, const std::string& text) {
    std::string tmp = lv::CreateTempFile(dir.dir() + lv::kTransferTempPrefix);
    WriteFile(tmp, text);
    return tmp;
}

std::set<std::string> Entries(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
    return names;
}

}  // namespace

TEST(CommitBatch, FilesChangeOnlyAtTheCommitAndADroppedBatchLeavesTheOldOnes) {
    TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    WriteFile(a, "old a");
    {
        lv::CommitBatch batch;
        batch.Add(Finished(dir, "new a"), a);
        batch.Add(Finished(dir, "new b"), b);
        EXPECT_EQ(batch.Size(), 2u);
        EXPECT_EQ(ReadFile(a), "old a");
        EXPECT_FALSE(fs::exists(b));
    }
    EXPECT_EQ(Entries(dir), std::set<std::string>{"a.txt"});
    EXPECT_EQ(ReadFile(a), "old a");

    lv::CommitBatch batch;
    batch.Add(Finished(dir, "new a"), a);
    batch.Add(Finished(dir, "new b"), b);
    std::string failed;
    ASSERT_TRUE(batch.Commit(&failed)) << failed;
    EXPECT_EQ(batch.Size(), 0u);
    EXPECT_EQ(ReadFile(a), "new a");
    EXPECT_EQ(ReadFile(b), "new b");
    EXPECT_EQ(Entries(dir), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST(CommitBatch, AFileThatCannotBeReplacedFailsTheCommitAndTheOthersGoInPlace) {
    TempDir dir;
    fs::create_directory(dir.path() / "taken.txt");
    lv::CommitBatch batch;
    batch.Add(Finished(dir, "1"), dir.file("1.txt"));
    batch.Add(Finished(dir, "t"), dir.file("taken.txt"));
    batch.Add(Finished(dir, "3"), dir.file("3.txt"));
    std::string failed;
    EXPECT_FALSE(batch.Commit(&failed));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(failed, dir.file("taken.txt"));
    EXPECT_EQ(ReadFile(dir.file("1.txt")), "1");
    EXPECT_EQ(ReadFile(dir.file("3.txt")), "3");
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.txt"));
    EXPECT_EQ(Entries(dir), (std::set<std::string>{"1.txt", "3.txt", "taken.txt"}));
}
