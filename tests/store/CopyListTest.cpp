// Adding and removing files and registry values in the copy lists.

#include <gtest/gtest.h>

#include "store/modTAVIN.h"

using namespace modTAVIN;

namespace {

FileEntry F(const std::string& dest, const std::string& loc, const std::string& name,
            const std::string& expand = "Normal") {
    return FileEntry{dest, loc, name, expand};
}

RegEntry R(const std::string& platform, const std::string& name, const std::string& data) {
    return RegEntry{platform, "HKEY_LOCAL_MACHINE", "Software\\Vontu", name, "STRING", data};
}

FileGroup Group(const std::string& platform) {
    FileGroup g;
    g.Platform = platform;
    g.PlatformList.Append(platform);
    g.Language = "All";
    g.LanguageList.Append("All");
    return g;
}

class CopyListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        BlindCopy bc;
        bc.Name = "Core";
        bc.Section = "Comp1 BlindCopy";
        S().BlindCopies.Append(bc);
    }
    void TearDown() override { ResetState(); }

    OneBasedList<FileGroup>& Groups() { return S().BlindCopies(1).Groups; }
    FileGroup& AddGroup(FileGroup g) {
        Groups().Append(std::move(g));
        return Groups()(Groups().Count());
    }
};

}  // namespace

TEST_F(CopyListTest, AddFileToEmptyRecordMakesAnAllGroup) {
    AddFileToBlindCopy(1, F("<TARGETDIR>", "Extras", "a.txt"));
    ASSERT_EQ(Groups().Count(), 1);
    const FileGroup& g = Groups()(1);
    EXPECT_EQ(g.Platform, "All");
    EXPECT_EQ(g.Language, "All");
    ASSERT_EQ(g.PlatformList.Count(), 1);
    EXPECT_EQ(g.PlatformList(1), "All");
    EXPECT_EQ(g.LanguageList(1), "All");
    EXPECT_EQ(g.DestDir, "<TARGETDIR>");
    EXPECT_EQ(g.Loc, "Extras");
    EXPECT_EQ(g.NumberOfFiles, 0);
    ASSERT_EQ(g.Files.Count(), 1);
    EXPECT_EQ(g.Files(1).FileName, "a.txt");
    EXPECT_TRUE(IsModified());
}

TEST_F(CopyListTest, AddFileChoosesGroupByPlace) {
    AddFileToBlindCopy(1, F("D", "L1", "a"));
    AddFileToBlindCopy(1, F("D", "L1", "b"));  // same place: same group
    AddFileToBlindCopy(1, F("D", "L2", "c"));  // other place: new group
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).Files.Count(), 2);
    EXPECT_EQ(Groups()(2).Loc, "L2");
}

TEST_F(CopyListTest, AddFileFillsAnEarlierGroupWithoutFiles) {
    // A group holding only a shortcut takes the new file's place.
    FileGroup& iconsOnly = AddGroup(Group("All"));
    iconsOnly.DestDir = "Old";
    iconsOnly.Icons.Append(IconEntry{});
    FileGroup& held = AddGroup(Group("All"));
    held.DestDir = "D";
    held.Loc = "L1";
    held.Files.Append(F("D", "L1", "a"));
    AddFileToBlindCopy(1, F("D", "L3", "z"));
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).DestDir, "D");
    EXPECT_EQ(Groups()(1).Loc, "L3");
    EXPECT_EQ(Groups()(1).Files.Count(), 1);
    EXPECT_EQ(Groups()(2).Files.Count(), 1);
}

TEST_F(CopyListTest, AddFileAlreadyHeldOrLikeHeld) {
    AddFileToBlindCopy(1, F("D", "L", "a", "Normal"));
    S().Modified = false;

    AddFileToBlindCopy(1, F("D", "L", "a", "Normal"));
    EXPECT_EQ(Groups()(1).Files.Count(), 1);
    EXPECT_FALSE(IsModified());

    AddFileToBlindCopy(1, F("D", "L", "a", "Compressed"));
    ASSERT_EQ(Groups()(1).Files.Count(), 1);
    EXPECT_EQ(Groups()(1).Files(1).ExpandType, "Compressed");
    EXPECT_TRUE(IsModified());

    // Case matters: another file.
    AddFileToBlindCopy(1, F("D", "L", "A", "Compressed"));
    EXPECT_EQ(Groups()(1).Files.Count(), 2);
}

TEST_F(CopyListTest, RemoveFile) {
    FileGroup& g1 = AddGroup(Group("All"));
    g1.DestDir = "D";
    g1.Loc = "L";
    g1.Files.Append(F("D", "L", "a"));
    g1.Files.Append(F("D", "L", "a", "Other"));  // only the first of a group goes
    FileGroup& g2 = AddGroup(Group("Win2000"));
    g2.Files.Append(F("D", "L", "a"));
    FileGroup& g3 = AddGroup(Group("All"));
    g3.Files.Append(F("D", "L", "a"));
    g3.Icons.Append(IconEntry{});
    g3.NumberOfFiles = 1;

    RemoveFileFromBlindCopy(1, F("D", "L", "a", "ignored"));
    EXPECT_TRUE(IsModified());
    ASSERT_EQ(Groups().Count(), 2);  // the second group held only the file: dropped
    EXPECT_EQ(Groups()(1).Files.Count(), 1);
    EXPECT_EQ(Groups()(1).Files(1).ExpandType, "Other");
    EXPECT_TRUE(Groups()(2).Files.Empty());  // kept for its shortcut
    EXPECT_EQ(Groups()(2).NumberOfFiles, 1);  // counts as read untouched

    S().Modified = false;
    RemoveFileFromBlindCopy(1, F("D", "L", "missing"));
    EXPECT_FALSE(IsModified());
}

TEST_F(CopyListTest, RegistryServesRule) {
    FileGroup& none = AddGroup(Group(""));
    none.RegEntries.Append(R("", "V", "x"));
    FileGroup& nt = AddGroup(Group("WinNT,Win2000"));
    nt.RegEntries.Append(R("win2000", "V", "nt"));
    FileGroup& all = AddGroup(Group("All"));
    all.RegEntries.Append(R("All", "V", "all"));

    std::string data = "unchanged";
    // A group without a platform serves nothing, not even a value without one.
    EXPECT_FALSE(FindRegEntry(1, R("", "V", ""), &data));
    EXPECT_EQ(data, "unchanged");
    // Platform contained without regard to case.
    EXPECT_TRUE(FindRegEntry(1, R("win2000", "V", "?"), &data));
    EXPECT_EQ(data, "nt");
    EXPECT_TRUE(FindRegEntry(1, R("All", "V", "?"), &data));
    EXPECT_EQ(data, "all");
    // Entry comparison is exact.
    EXPECT_FALSE(FindRegEntry(1, R("All", "v", "?")));
    EXPECT_FALSE(FindRegEntry(1, R("ALL", "V", "?")));
}

TEST_F(CopyListTest, FindRegEntryReturnsLastMatch) {
    AddGroup(Group("All")).RegEntries.Append(R("All", "V", "first"));
    AddGroup(Group("All")).RegEntries.Append(R("All", "V", "last"));
    std::string data;
    EXPECT_TRUE(FindRegEntry(1, R("All", "V", ""), &data));
    EXPECT_EQ(data, "last");
    EXPECT_FALSE(IsModified());
}

TEST_F(CopyListTest, SetRegEntryCreatesChangesThenKeeps) {
    AddGroup(Group("All")).Files.Append(F("D", "L", "a"));
    SetRegEntry(1, R("WinNT", "V", "1"));
    ASSERT_EQ(Groups().Count(), 2);
    const FileGroup& made = Groups()(2);
    EXPECT_EQ(made.Platform, "WinNT");
    EXPECT_EQ(made.PlatformList(1), "WinNT");
    EXPECT_EQ(made.Language, "All");
    EXPECT_EQ(made.DestDir, "");
    ASSERT_EQ(made.RegEntries.Count(), 1);
    EXPECT_TRUE(IsModified());

    S().Modified = false;
    SetRegEntry(1, R("WinNT", "V", "2"));
    ASSERT_EQ(Groups()(2).RegEntries.Count(), 1);
    EXPECT_EQ(Groups()(2).RegEntries(1).ValueData, "2");
    EXPECT_TRUE(IsModified());

    S().Modified = false;
    SetRegEntry(1, R("WinNT", "V", "2"));
    EXPECT_EQ(Groups()(2).RegEntries.Count(), 1);
    EXPECT_FALSE(IsModified());

    // A new value goes to the first serving group.
    SetRegEntry(1, R("WinNT", "W", "3"));
    EXPECT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(2).RegEntries.Count(), 2);
}

TEST_F(CopyListTest, RemoveRegEntry) {
    FileGroup& g = AddGroup(Group("All"));
    g.RegEntries.Append(R("All", "A", "1"));
    g.RegEntries.Append(R("All", "B", "1"));
    g.RegEntries.Append(R("All", "C", "1"));
    AddGroup(Group("All")).RegEntries.Append(R("All", "B", "other data"));

    RemoveRegEntry(1, R("All", "B", "ignored"));
    ASSERT_EQ(Groups().Count(), 1);  // the second group held only B
    ASSERT_EQ(Groups()(1).RegEntries.Count(), 2);
    EXPECT_EQ(Groups()(1).RegEntries(1).ValueName, "A");
    EXPECT_EQ(Groups()(1).RegEntries(2).ValueName, "C");
    EXPECT_TRUE(IsModified());
}

TEST_F(CopyListTest, RemoveEmptyGroupsKeepsOrderAndFlag) {
    AddGroup(Group("First")).Files.Append(F("D", "L", "a"));
    AddGroup(Group("All")).DestDir = "empty but with a place";
    AddGroup(Group(""));
    AddGroup(Group("All"));
    AddGroup(Group("Last")).IniEntries.Append(IniEntry{});
    BlindCopy other;
    other.Groups.Resize(2);
    S().BlindCopies.Append(other);

    RemoveEmptyGroups();
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).Platform, "First");
    EXPECT_EQ(Groups()(2).Platform, "Last");
    EXPECT_EQ(S().BlindCopies(2).Groups.Count(), 0);
    EXPECT_FALSE(IsModified());
}

TEST_F(CopyListTest, IndexOutsideTheListChangesNothing) {
    AddFileToBlindCopy(2, F("D", "L", "a"));
    SetRegEntry(0, R("All", "V", "1"));
    EXPECT_FALSE(FindRegEntry(5, R("All", "V", "1")));
    EXPECT_EQ(Groups().Count(), 0);
    EXPECT_EQ(BlindCopyCount(), 1);
    EXPECT_FALSE(IsModified());
}
