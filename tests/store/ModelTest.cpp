// The model's record copies, launch list and flags.

#include <gtest/gtest.h>

#include "store/modTAVIN.h"

using namespace modTAVIN;

namespace {

LaunchEntry L(const std::string& program) {
    LaunchEntry e;
    e.Program = program;
    return e;
}

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { ResetState(); }
    void TearDown() override { ResetState(); }

    void Launches(std::initializer_list<const char*> programs) {
        for (const char* p : programs) S().Launches.Append(L(p));
        S().Modified = false;
    }
    std::string Programs() {
        std::string out;
        for (int i = 1; i <= LaunchCount(); ++i) out += GetLaunch(static_cast<int16_t>(i)).Program;
        return out;
    }
};

}  // namespace

TEST_F(ModelTest, OutOfRangeIndicesGiveEmptyRecords) {
    Launches({"A", "B"});
    BlindCopy bc;
    bc.Name = "Comp1";
    bc.Groups.Resize(2);
    S().BlindCopies.Append(bc);

    EXPECT_EQ(GetLaunch(3), LaunchEntry{});
    EXPECT_EQ(GetLaunch(0), LaunchEntry{});
    EXPECT_EQ(GetLaunch(-1), LaunchEntry{});
    EXPECT_EQ(GetBlindCopy(2), BlindCopy{});
    EXPECT_EQ(GetBlindCopy(0), BlindCopy{});
    EXPECT_EQ(GetBlindCopy(1).Groups.Count(), 2);
}

TEST_F(ModelTest, InsertLaunch) {
    Launches({"A", "B"});
    InsertLaunch(4, L("X"));  // beyond count + 1
    EXPECT_EQ(Programs(), "AB");
    EXPECT_FALSE(IsModified());
    InsertLaunch(0, L("X"));  // the unused slot
    EXPECT_EQ(Programs(), "AB");
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(S().Launches(0), LaunchEntry{});

    InsertLaunch(1, L("N"));
    EXPECT_EQ(Programs(), "NAB");
    EXPECT_TRUE(IsModified());
    InsertLaunch(4, L("Z"));  // count + 1 appends
    EXPECT_EQ(Programs(), "NABZ");
}

TEST_F(ModelTest, DeleteAndSwapLaunches) {
    Launches({"A", "B", "C"});
    DeleteLaunch(4);
    DeleteLaunch(0);
    EXPECT_EQ(Programs(), "ABC");
    EXPECT_FALSE(IsModified());
    DeleteLaunch(2);
    EXPECT_EQ(Programs(), "AC");
    EXPECT_TRUE(IsModified());

    S().Modified = false;
    SwapLaunches(1, 0);
    SwapLaunches(3, 2);
    EXPECT_EQ(Programs(), "AC");
    EXPECT_FALSE(IsModified());
    SwapLaunches(2, 1);
    EXPECT_EQ(Programs(), "CA");
    EXPECT_TRUE(IsModified());
}

TEST_F(ModelTest, SetLaunchLeavesModifiedAlone) {
    Launches({"A"});
    LaunchEntry e = GetLaunch(1);
    e.CmdLine = "/s";
    SetLaunch(1, e);
    EXPECT_EQ(GetLaunch(1).CmdLine, "/s");
    EXPECT_FALSE(IsModified());
    SetLaunch(2, e);
    EXPECT_EQ(LaunchCount(), 1);
}

TEST_F(ModelTest, RecordCopiesAreIndependentAndSetAlwaysMarksModified) {
    ComponentEntry comp;
    comp.Name = "Core";
    S().OemSettings.Components.Append(comp);

    OemInstall copy = GetOemInstall();
    copy.DisplayEULA = true;
    copy.Components(1).Enabled = true;
    EXPECT_FALSE(GetOemInstall().DisplayEULA);
    EXPECT_FALSE(GetOemInstall().Components(1).Enabled);
    EXPECT_FALSE(IsModified());

    SetOemInstall(GetOemInstall());  // unchanged copy
    EXPECT_TRUE(IsModified());
    SetOemInstall(copy);
    EXPECT_TRUE(GetOemInstall().Components(1).Enabled);
}

TEST_F(ModelTest, CloseKeepsDirectoryAndSettings) {
    S().InstallerDir = "/inst";
    S().InstallerOpen = true;
    S().Modified = true;
    S().OemSettings.Product = "P";
    CloseInstaller();
    EXPECT_FALSE(IsInstallerOpen());
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(GetInstallerDir(), "/inst");
    EXPECT_EQ(GetOemInstall().Product, "P");
}

