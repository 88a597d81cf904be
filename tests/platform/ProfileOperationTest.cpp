// Store operations: inside one, each file is looked at once and keeps its view; another
// program's change made between two operations is seen by the next one.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "support/TempDir.h"

namespace profile = kivo::profile;

namespace {

std::string Get(const std::string& key, const std::string& path) {
    return profile::GetString("A", key, "<none>", 256, path);
}

TEST(ProfileOperation, AViewPerOperationOwnWritesSeenOtherChangesSeenNext) {
    TempDir dir;
    const std::string path = dir / "test.ini";
    WriteFileBytes(path, "[A]\r\nk=1\r\n");
    profile::ClearCache();
    {
        const profile::Operation operation;
        EXPECT_EQ(Get("k", path), "1");
        // Another program rewrites the file while the operation runs: the operation keeps the
        // file as it found it.
        WriteFileBytes(path, "[A]\r\nk=2\r\nother=x\r\n");
        EXPECT_EQ(Get("k", path), "1");
        EXPECT_EQ(Get("other", path), "<none>");
        {
            const profile::Operation nested;  // a nested operation shares the view
            EXPECT_EQ(Get("k", path), "1");
        }
        // Writes in a batch are seen by the next read.
        profile::BeginBatch();
        ASSERT_TRUE(profile::WriteString("A", "mine", std::string_view("yes"), path));
        EXPECT_EQ(Get("mine", path), "yes");
        profile::AbortBatch();
    }
    // The next operation, and a call outside any, see the change.
    {
        const profile::Operation operation;
        EXPECT_EQ(Get("k", path), "2");
        EXPECT_EQ(Get("other", path), "x");
        WriteFileBytes(path, "[A]\r\nk=3\r\nother=x\r\n");
        // A write outside a batch starts from the disk, so the other program's change stays.
        ASSERT_TRUE(profile::WriteString("A", "mine", std::string_view("again"), path));
        EXPECT_EQ(Get("mine", path), "again");
        EXPECT_EQ(Get("k", path), "3");
    }
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=3\r\nother=x\r\nmine=again\r\n");
    WriteFileBytes(path, "[A]\r\nk=4\r\n");
    EXPECT_EQ(Get("k", path), "4");
    profile::ClearCache();
}

}  // namespace
