// Adding and removing files and registry values in the copy lists.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/Util.h"
#include "store/modTAVIN.h"

using namespace modTAVIN;

namespace {

FileEntry F(const char* loc, const char* name, const char* expand = "Normal") {
    return FileEntry{"<TARGETDIR>", loc, name, expand};
}
RegEntry R(const char* platform, const char* name, const char* data) {
    return RegEntry{platform, "HKEY_LOCAL_MACHINE", "Software\\Vontu", name, "STRING", data};
}

class CopyListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        S().BlindCopies.Append(BlindCopy{});
    }
    OneBasedList<FileGroup>& Groups() { return S().BlindCopies(1).Groups; }
    // Each file of copy list 1 as "destination|name", sorted.
    std::vector<std::string> Placed() {
        std::vector<std::string> out;
        for (const FileGroup& g : Groups())
            for (const FileEntry& f : g.Files) out.push_back(f.DestDir + "|" + f.FileName);
        std::sort(out.begin(), out.end());
        return out;
    }
    FileGroup& AddGroup(const char* platform) {
        Groups().Append(FileGroup{});
        Groups()(Groups().Count()).Platform = platform;
        return Groups()(Groups().Count());
    }
};

}  // namespace

TEST_F(CopyListTest, AddFilePlacesByLocationAndNeverDoubles) {
    AddFileToBlindCopy(1, F("L1", "a"));
    AddFileToBlindCopy(1, F("L1", "b"));
    AddFileToBlindCopy(1, F("L2", "c"));
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).Files.Count(), 2);
    const FileGroup& made = Groups()(2);
    ASSERT_EQ(made.PlatformList.Count(), 1);
    EXPECT_EQ(made.PlatformList(1), "All");
    EXPECT_EQ(made.Language, "All");
    EXPECT_EQ(made.Loc, "L2");

    S().Modified = false;
    AddFileToBlindCopy(1, F("L1", "a"));  // already held
    EXPECT_FALSE(IsModified());
    AddFileToBlindCopy(1, F("L1", "A"));                // case differs: another file
    AddFileToBlindCopy(1, F("L1", "a", "Compressed"));  // only the copy mode differs
    ASSERT_EQ(Groups()(1).Files.Count(), 3);
    EXPECT_EQ(Groups()(1).Files(1).ExpandType, "Compressed");
    EXPECT_TRUE(IsModified());

    // An earlier group without files (here holding a shortcut) takes the next new place.
    FileGroup& iconsOnly = Groups()(1);
    iconsOnly.Files.Clear();
    iconsOnly.Icons.Append(IconEntry{});
    AddFileToBlindCopy(1, F("L3", "z"));
    EXPECT_EQ(Groups()(1).Loc, "L3");
    EXPECT_EQ(Groups()(1).Files.Count(), 1);
    EXPECT_EQ(Groups().Count(), 2);
}

TEST_F(CopyListTest, RemoveFileFromEveryGroupAndDropEmptied) {
    FileGroup& g1 = AddGroup("All");
    g1.Files.Append(F("L", "a"));
    g1.Files.Append(F("L", "a", "Other"));  // only the first match of a group goes
    AddGroup("WinNT").Files.Append(F("L", "a"));
    FileGroup& g3 = AddGroup("All");
    g3.Files.Append(F("L", "a"));
    g3.Icons.Append(IconEntry{});
    g3.NumberOfFiles = 1;

    RemoveFileFromBlindCopy(1, F("L", "a", "ignored"));
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).Files(1).ExpandType, "Other");
    EXPECT_TRUE(Groups()(2).Files.Empty());
    EXPECT_EQ(Groups()(2).NumberOfFiles, 1);  // counts as read stay
    EXPECT_TRUE(IsModified());
}

TEST_F(CopyListTest, RegistryValuesFollowTheServesRule) {
    AddGroup("").RegEntries.Append(R("", "V", "none"));
    AddGroup("WinNT,Win2000").RegEntries.Append(R("win2000", "V", "nt"));
    AddGroup("All").RegEntries.Append(R("All", "V", "first"));
    AddGroup("All").RegEntries.Append(R("All", "V", "last"));

    std::string data = "unchanged";
    EXPECT_FALSE(
        FindRegEntry(1, R("", "V", ""), &data));  // a group without platform serves nothing
    EXPECT_EQ(data, "unchanged");
    EXPECT_TRUE(FindRegEntry(1, R("win2000", "V", ""), &data));
    EXPECT_EQ(data, "nt");
    EXPECT_TRUE(FindRegEntry(1, R("All", "V", ""), &data));
    EXPECT_EQ(data, "last");
    EXPECT_FALSE(FindRegEntry(1, R("All", "v", "")));
    EXPECT_FALSE(IsModified());

    SetRegEntry(1, R("Win95", "V", "1"));  // no group serves Win95: a new one
    ASSERT_EQ(Groups().Count(), 5);
    EXPECT_EQ(Groups()(5).Platform, "Win95");
    SetRegEntry(1, R("Win95", "V", "2"));
    SetRegEntry(1, R("Win95", "W", "3"));
    EXPECT_EQ(Groups()(5).RegEntries(1).ValueData, "2");
    EXPECT_EQ(Groups()(5).RegEntries.Count(), 2);
    S().Modified = false;
    SetRegEntry(1, R("Win95", "V", "2"));
    EXPECT_FALSE(IsModified());

    Groups()(3).RegEntries.Append(R("All", "W", ""));
    RemoveRegEntry(1, R("All", "V", "any data"));
    ASSERT_EQ(Groups().Count(), 4);  // the group that held only V is dropped
    EXPECT_EQ(Groups()(3).RegEntries.Count(), 1);
    EXPECT_EQ(Groups()(3).RegEntries(1).ValueName, "W");
    EXPECT_TRUE(IsModified());
}

TEST_F(CopyListTest, PruningDropsEveryEmptyGroupAndKeepsOrder) {
    AddGroup("First").Files.Append(F("L", "a"));
    AddGroup("All").DestDir = "a place, but empty";
    AddGroup("");
    AddGroup("All");
    AddGroup("Last").IniEntries.Append(IniEntry{});
    AddFileToBlindCopy(2, F("L", "a"));  // no such record: nothing happens
    RemoveEmptyGroups();
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()(1).Platform, "First");
    EXPECT_EQ(Groups()(2).Platform, "Last");
    EXPECT_FALSE(IsModified());
}

TEST_F(CopyListTest, DestinationFolderMovesAndRemovalsTakeWhatLiesBelow) {
    for (const auto& [dest, name] :
         {std::pair{"A\\Old", "a"}, {"a\\OLD\\Sub", "b"}, {"A\\Older", "c"}, {"B", "d"}})
        AddFileToBlindCopy(1, FileEntry{dest, "", name, "Normal"});
    S().Modified = false;

    // Letter case is Windows': a\OLD\Sub lies in A\Old; A\Older is another folder.
    EXPECT_TRUE(MoveDestFolder(1, "A\\Old", "N\\Ew"));
    EXPECT_EQ(Placed(), (std::vector<std::string>{"A\\Older|c", "B|d", "N\\Ew\\Sub|b", "N\\Ew|a"}));
    EXPECT_TRUE(IsModified());

    // The deepest destination decides: N\Ew\Sub grows by as much as the folder.
    const BlindCopy before = GetBlindCopy(1);
    const std::size_t room = Util::kValueChars - std::string("\\Sub").size();
    EXPECT_FALSE(MoveDestFolder(1, "N\\Ew", std::string(room + 1, 'x')));
    EXPECT_EQ(GetBlindCopy(1), before);
    EXPECT_TRUE(MoveDestFolder(1, "N\\Ew", std::string(room, 'x')));
    // Without a copy list only the new folder's own length counts.
    EXPECT_TRUE(MoveDestFolder(0, "A", std::string(Util::kValueChars, 'y')));
    EXPECT_FALSE(MoveDestFolder(0, "A", std::string(Util::kValueChars + 1, 'y')));

    RemoveDestFolder(1, std::string(room, 'X'));
    EXPECT_EQ(Placed(), (std::vector<std::string>{"A\\Older|c", "B|d"}));
}
