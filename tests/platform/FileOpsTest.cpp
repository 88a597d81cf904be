// File operations: names that differ only in case, the read-only attribute, and replacing copies.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "DirProbe.h"
#include "platform/fileops.h"
#include "support/TempDir.h"

namespace fo = kivo::fileops;

namespace {

TEST(FileOps, JoinAndCaseResolution) {
    EXPECT_EQ(fo::Join("/a/b", "c.ini"), "/a/b/c.ini");
    EXPECT_EQ(fo::Join("/a/b/", "c.ini"), "/a/b/c.ini");
    EXPECT_EQ(fo::Join("/a/b/", "/c.ini"), "/a/b/c.ini");

    TempDir dir;
    WriteFileBytes(dir / "TAVIN.ini", "x");
    std::filesystem::create_directory(dir / "Sub");
    EXPECT_EQ(fo::ResolveCase(dir / "Tavin.ini"), dir / "TAVIN.ini");
    EXPECT_EQ(fo::ResolveCase(dir / "TAVIN.ini"), dir / "TAVIN.ini");
    EXPECT_EQ(fo::ResolveCase(dir / "sub"), dir / "Sub");
    EXPECT_EQ(fo::ResolveCase(dir / "Setup.iss"), dir / "Setup.iss");
    // Only the last component is looked up without regard to case.
    EXPECT_EQ(fo::ResolveCase(dir / "SUB/x"), dir / "SUB/x");
    EXPECT_TRUE(fo::FileExists(dir / "tavin.INI"));
    EXPECT_FALSE(fo::DirectoryExists(dir / "tavin.INI"));
    EXPECT_TRUE(fo::DirectoryExists(dir / "SUB"));
    EXPECT_TRUE(fo::Exists(dir / "sub"));
    EXPECT_FALSE(fo::Exists(dir / "other"));
    // With the exact name present, it is the one used.
    WriteFileBytes(dir / "Tavin.ini", "y");
    EXPECT_EQ(fo::ResolveCase(dir / "Tavin.ini"), dir / "Tavin.ini");
}

TEST(FileOps, DeletingHonoursTheReadOnlyAttributeUnlessForced) {
    TempDir dir;
    WriteFileBytes(dir / "Setup.iss", "x");
    WriteFileBytes(dir / "Tavin.old", "x");
    ASSERT_TRUE(fo::SetReadOnly(dir / "setup.ISS", true));
    ASSERT_TRUE(fo::SetReadOnly(dir / "Tavin.old", true));
    EXPECT_EQ(fo::DeleteFile(dir / "setup.iss", false).Text(), "Permission denied");
    EXPECT_TRUE(fo::FileExists(dir / "Setup.iss"));
    EXPECT_TRUE(fo::DeleteFile(dir / "TAVIN.OLD", true));
    EXPECT_EQ(fo::DeleteFile(dir / "Tavin.old", true).Text(), "No such file or directory");
    ASSERT_TRUE(fo::SetReadOnly(dir / "Setup.iss", false));
    EXPECT_TRUE(fo::DeleteFile(dir / "Setup.iss", false));
    EXPECT_TRUE(Names(dir.path()).empty());
}

TEST(FileOps, MovingFailsWhenTheTargetExistsInAnyCase) {
    TempDir dir;
    WriteFileBytes(dir / "Tavin.ini", "new");
    WriteFileBytes(dir / "TAVIN.ORIG", "old");
    EXPECT_EQ(fo::MoveFile(dir / "Tavin.ini", dir / "Tavin.orig").Text(), "File exists");
    EXPECT_EQ(ReadFileBytes(dir / "TAVIN.ORIG"), "old");
    const fo::Result missing = fo::MoveFile(dir / "missing", dir / "x");
    EXPECT_TRUE(fo::DeleteFile(dir / "Tavin.orig", true));
    const fo::Result moved = fo::MoveFile(dir / "TAVIN.INI", dir / "Tavin.orig");
    EXPECT_TRUE(moved);
    EXPECT_EQ(moved.Text(), "");
    // A failure's error stays with its result, whatever succeeded after it.
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.err, ENOENT);
    EXPECT_EQ(missing.Text(), "No such file or directory");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"Tavin.orig"}));
    EXPECT_EQ(ReadFileBytes(dir / "Tavin.orig"), "new");
}

TEST(FileOps, CopyingReplacesTheTargetAndCarriesTheAttribute) {
    TempDir dir;
    WriteFileBytes(dir / "template.ini", "template");
    WriteFileBytes(dir / "TAVIN.INI", "old");
    chmod((dir / "TAVIN.INI").c_str(), 0640);
    EXPECT_TRUE(fo::CopyFile(dir / "Template.ini", dir / "Tavin.ini"));
    EXPECT_EQ(ReadFileBytes(dir / "TAVIN.INI"), "template");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"TAVIN.INI", "template.ini"}));

    // A read-only source gives a read-only copy; a read-only target is not replaced.
    chmod((dir / "template.ini").c_str(), 0444);
    EXPECT_TRUE(fo::CopyFile(dir / "template.ini", dir / "Tavin.old"));
    EXPECT_EQ(fo::IsReadOnly(dir / "Tavin.old"), fo::ReadOnly::Yes);
    WriteFileBytes(dir / "other", "other");
    EXPECT_FALSE(fo::CopyFile(dir / "other", dir / "Tavin.old"));
    EXPECT_EQ(ReadFileBytes(dir / "Tavin.old"), "template");

    EXPECT_FALSE(fo::CopyFile(dir / "missing", dir / "TAVIN.INI"));
    EXPECT_EQ(ReadFileBytes(dir / "TAVIN.INI"), "template");
    EXPECT_FALSE(fo::CopyFile(dir / "other", dir / "no/such/dir"));
    EXPECT_EQ(Names(dir.path()),
              (std::set<std::string>{"TAVIN.INI", "Tavin.old", "other", "template.ini"}));
}

TEST(FileOps, TheReadOnlyAttributeIsTheAbsenceOfWriteBits) {
    TempDir dir;
    const std::string f = dir / "f";
    WriteFileBytes(f, "x");
    chmod(f.c_str(), 0664);
    EXPECT_EQ(fo::IsReadOnly(f), fo::ReadOnly::No);
    EXPECT_TRUE(fo::SetReadOnly(f, true));
    EXPECT_EQ(ModeOf(f), 0444u);
    EXPECT_EQ(fo::IsReadOnly(f), fo::ReadOnly::Yes);
    EXPECT_TRUE(fo::SetReadOnly(f, false));
    EXPECT_EQ(ModeOf(f), 0644u);
    chmod(f.c_str(), 0020);
    EXPECT_EQ(fo::IsReadOnly(f), fo::ReadOnly::No);
    EXPECT_FALSE(fo::SetReadOnly(dir / "missing", true));
    // A path that names nothing is neither writable nor read-only.
    EXPECT_EQ(fo::IsReadOnly(dir / "missing"), fo::ReadOnly::Missing);
    EXPECT_EQ(fo::IsReadOnly(dir / "f/x"), fo::ReadOnly::Missing);
}

}  // namespace
