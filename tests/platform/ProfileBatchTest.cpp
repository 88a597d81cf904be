// Batches: writes collected in the parsed copies and committed once per file, atomically; and
// the incremental bookkeeping of those copies, checked against a fresh reading of the result.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "DirProbe.h"
#include "platform/inidoc.h"
#include "platform/profile.h"
#include "support/TempDir.h"

namespace profile = kivo::profile;
using namespace std::string_literals;

namespace {

bool Set(const std::string& path, const std::string& section, const std::string& key,
         const std::string& value) {
    return profile::WriteString(section, key, std::string_view(value), path);
}
std::string Get(const std::string& path, const std::string& section, const std::string& key) {
    return profile::GetString(section, key, "<def>", 256, path);
}

class ProfileBatch : public ::testing::Test {
protected:
    void SetUp() override { profile::ClearCache(); }
    void TearDown() override {
        while (profile::InBatch()) profile::AbortBatch();
    }
    // a.ini holds k=1 and the batch, begun, has set it to 2.
    void BeginWithAnEditOfA() {
        WriteFileBytes(a, Crlf("[S]\nk=1\n"));
        profile::BeginBatch();
        EXPECT_TRUE(Set(a, "S", "k", "2"));
    }
    // a.ini on disk holds k=`value`, and reading it gives that value.
    void ExpectAHolds(const std::string& value) {
        EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=" + value + "\n"));
        EXPECT_EQ(Get(a, "S", "k"), value);
    }

    TempDir dir;
    std::string a = dir / "a.ini";
    std::string b = dir / "b.ini";
};

TEST_F(ProfileBatch, WritesAreSeenAtOnceAndReachTheDiskAtTheCommit) {
    WriteFileBytes(a, Crlf("[S]\nk=1\n"));
    chmod(a.c_str(), 0640);
    const mode_t mask = umask(022);

    profile::BeginBatch();
    EXPECT_TRUE(profile::InBatch());
    EXPECT_TRUE(Set(a, "S", "k", "2"));
    EXPECT_TRUE(Set(a, "S", "j", "3"));
    EXPECT_TRUE(Set(b, "N", "x", "y"));
    EXPECT_EQ(Get(a, "S", "k"), "2");
    EXPECT_EQ(Get(b, "n", "X"), "y");
    EXPECT_EQ(profile::GetSectionKeys("S", 256, a), "k\0j\0\0"s);
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=1\n"));
    EXPECT_FALSE(std::filesystem::exists(b));

    const auto result = profile::CommitBatch();
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_FALSE(profile::InBatch());
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=2\nj=3\n"));
    EXPECT_EQ(ReadFileBytes(b), Crlf("[N]\nx=y\n"));
    EXPECT_EQ(ModeOf(a), 0640u);
    EXPECT_EQ(ModeOf(b), 0644u);
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"a.ini", "b.ini"}));
    umask(mask);
}

TEST_F(ProfileBatch, AnAbortLeavesEveryFileAsItWas) {
    BeginWithAnEditOfA();
    EXPECT_TRUE(profile::WriteString("S", "k", std::nullopt, a));
    EXPECT_TRUE(Set(b, "N", "x", "y"));
    profile::AbortBatch();
    ExpectAHolds("1");
    EXPECT_EQ(Get(b, "N", "x"), "<def>");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"a.ini"}));
}

TEST_F(ProfileBatch, NestedBatchesEndWithTheOutermost) {
    WriteFileBytes(a, Crlf("[S]\nk=1\n"));
    profile::BeginBatch();
    profile::BeginBatch();
    EXPECT_TRUE(Set(a, "S", "k", "2"));
    EXPECT_TRUE(profile::CommitBatch().ok);
    EXPECT_TRUE(profile::InBatch());
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=1\n"));
    EXPECT_TRUE(profile::CommitBatch().ok);
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=2\n"));

    // An inner abort abandons the whole batch.
    profile::BeginBatch();
    profile::BeginBatch();
    EXPECT_TRUE(Set(a, "S", "k", "3"));
    profile::AbortBatch();
    EXPECT_FALSE(profile::CommitBatch().ok);
    ExpectAHolds("2");
}

// Only a commit that would change a read-only file's bytes refuses it, and then writes nothing.
TEST_F(ProfileBatch, AReadOnlyFileIsRefusedOnlyWhereTheBatchChangesIt) {
    WriteFileBytes(a, Crlf("[S]\nk=1\n"));
    chmod(a.c_str(), 0444);
    profile::BeginBatch();
    EXPECT_TRUE(Set(a, "S", "k", "1"));
    EXPECT_FALSE(Set(dir / "missing/x.ini", "S", "k", "2"));
    EXPECT_TRUE(Set(b, "S", "k", "2"));
    EXPECT_TRUE(profile::CommitBatch().ok);
    profile::BeginBatch();
    EXPECT_TRUE(profile::WriteString("S", "k", std::nullopt, a));
    EXPECT_TRUE(Set(b, "S", "k", "3"));
    EXPECT_EQ(profile::CommitBatch().reason, "the file is read-only");
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=1\n"));
    EXPECT_EQ(ModeOf(a), 0444u);
    EXPECT_EQ(ReadFileBytes(b), Crlf("[S]\nk=2\n"));
}

TEST_F(ProfileBatch, AFailedCommitNamesTheFileAndWritesNothingAfterIt) {
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    const std::string gone = sub + "/gone.ini";
    WriteFileBytes(a, Crlf("[S]\nk=1\n"));
    profile::BeginBatch();
    EXPECT_TRUE(Set(gone, "S", "k", "1"));
    EXPECT_TRUE(Set(a, "S", "k", "2"));
    std::filesystem::remove(sub);
    const auto result = profile::CommitBatch();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.file, gone);
    EXPECT_EQ(result.reason, "No such file or directory");
    ExpectAHolds("1");
}

TEST_F(ProfileBatch, AFileChangedByAnotherWriterDuringTheBatchIsNotOverwritten) {
    BeginWithAnEditOfA();
    WriteFileBytes(a, Crlf("[S]\nk=theirs\n"));
    const auto result = profile::CommitBatch();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.file, a);
    ExpectAHolds("theirs");
}

// Nothing inside a batch changes a file's attributes: a change of them meanwhile is another
// program's, as much as a change of the bytes.
TEST_F(ProfileBatch, AnAttributeChangedDuringTheBatchStopsTheCommit) {
    BeginWithAnEditOfA();
    chmod(a.c_str(), 0444);
    const auto result = profile::CommitBatch();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "The file was changed by another program");
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=1\n"));
    EXPECT_EQ(ModeOf(a), 0444u);
}

// Every file of a commit is ready before the first is put in place: one that cannot be written
// leaves all of them, the copy and the deletion undone, and no temporary file behind.
TEST_F(ProfileBatch, ACommitPutsNothingInPlaceUntilEveryFileIsReady) {
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    const std::string late = sub + "/late.ini";
    const std::string backup = dir / "a.bak";
    WriteFileBytes(a, Crlf("[S]\nk=1\n"));
    WriteFileBytes(b, Crlf("[S]\nk=1\n"));
    WriteFileBytes(backup, "older");
    profile::BeginBatch();
    EXPECT_TRUE(Set(a, "S", "k", "2"));
    EXPECT_TRUE(Set(late, "S", "k", "1"));
    profile::CopyAtCommit(a, backup);
    profile::DeleteAtCommit(b);
    std::filesystem::remove(sub);
    const auto failed = profile::CommitBatch();
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.file, late);
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=1\n"));
    EXPECT_EQ(ReadFileBytes(backup), "older");
    EXPECT_TRUE(std::filesystem::exists(b));
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"a.ini", "a.bak", "b.ini"}));

    // Done: the copy holds the file as it was before the commit; a file that the batch changed
    // and changed back is not rewritten.
    struct stat before {};
    stat(b.c_str(), &before);
    chmod(a.c_str(), 0640);
    profile::BeginBatch();
    EXPECT_TRUE(Set(a, "S", "k", "2"));
    EXPECT_TRUE(Set(b, "S", "k", "2"));
    EXPECT_TRUE(Set(b, "S", "k", "1"));
    profile::CopyAtCommit(a, backup, true);
    EXPECT_TRUE(profile::CommitBatch().ok);
    EXPECT_EQ(ReadFileBytes(a), Crlf("[S]\nk=2\n"));
    EXPECT_EQ(ReadFileBytes(backup), Crlf("[S]\nk=1\n"));
    EXPECT_EQ(ModeOf(backup), 0440u);
    struct stat after {};
    stat(b.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    profile::BeginBatch();
    profile::DeleteAtCommit(b);
    EXPECT_TRUE(profile::CommitBatch().ok);
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"a.ini", "a.bak"}));
}

// Random edits, once inside a batch and once written one by one, give the same bytes; and the
// copy's own view of the result matches a fresh reading of those bytes.
TEST_F(ProfileBatch, BatchAndSingleWritesAgreeWithAFreshReading) {
    const std::string start = Crlf("top=0\n[A]\nk1=1\n\n;c=2\nK1=dup\nk1=dup2\n[B]\nb=1\n\n\n[a]"
                                   "\nk2=x\n[C]\nlast=1\n[b]\nb=2");
    WriteFileBytes(a, start);
    WriteFileBytes(b, start);
    std::mt19937 rng(7);
    const char* sections[] = {"", "A", "a", "B", "b", "C", "D"};
    const char* keys[] = {"k1", "K1", "k2", "b", "last", "new", "Top", ";c", ""};

    auto agree = [&](int step) {
        const std::string bytes = ReadFileBytes(a);
        ASSERT_EQ(bytes, ReadFileBytes(b)) << step;
        const kivo::profile::IniDoc fresh(bytes);
        EXPECT_EQ(profile::GetSectionNames(4096, a), fresh.SectionNames()) << step;
        for (const char* s : sections) {
            EXPECT_EQ(profile::GetSectionKeys(s, 4096, a), fresh.KeyNames(s)) << step << " " << s;
            for (const char* k : keys) {
                const auto v = fresh.Value(s, k);
                EXPECT_EQ(Get(a, s, k), v ? std::string(*v) : "<def>")
                    << step << " " << s << "/" << k;
            }
        }
    };
    profile::BeginBatch();
    for (int i = 0; i < 600; ++i) {
        const std::string s = sections[rng() % std::size(sections)];
        const std::string k = keys[rng() % std::size(keys)];
        const std::string v = std::to_string(rng() % 5);
        switch (rng() % 8) {
            case 0:
            case 1:
                ASSERT_TRUE(profile::WriteString(s, k, std::nullopt, a));
                ASSERT_TRUE(profile::WriteString(s, k, std::nullopt, b));
                break;
            case 2:
                ASSERT_TRUE(profile::DeleteSection(s, a));
                ASSERT_TRUE(profile::DeleteSection(s, b));
                break;
            default: {
                // A comment key reads back but is not listed: it is never written.
                const bool writable = k != ";c";
                ASSERT_EQ(Set(a, s, k, v), writable);
                ASSERT_EQ(Set(b, s, k, v), writable);
            }
        }
        if (i % 10 == 9) {
            ASSERT_TRUE(profile::CommitBatch().ok);
            agree(i);
            if (i % 100 == 99) {
                // Start again from a file that holds duplicates.
                WriteFileBytes(a, start);
                WriteFileBytes(b, start);
            }
            profile::BeginBatch();
        }
    }
    ASSERT_TRUE(profile::CommitBatch().ok);
    agree(-1);
}

}  // namespace
