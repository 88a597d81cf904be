// The launch list's bounds and when its changes mark the model modified.

#include <gtest/gtest.h>

#include "store/modTAVIN.h"

using namespace modTAVIN;

namespace {

LaunchEntry L(const char* program) {
    LaunchEntry e;
    e.Program = program;
    return e;
}

std::string Programs() {
    std::string out;
    for (int i = 1; i <= LaunchCount(); ++i) out += GetLaunch(static_cast<int16_t>(i)).Program;
    return out;
}

}  // namespace

TEST(ModelTest, LaunchListBoundsAndModifiedFlag) {
    ResetState();
    S().Launches.Append(L("A"));
    S().Launches.Append(L("B"));
    InsertLaunch(4, L("X"));  // beyond count + 1
    InsertLaunch(0, L("X"));  // the unused slot
    DeleteLaunch(3);
    DeleteLaunch(0);
    SwapLaunches(1, 0);
    SwapLaunches(3, 2);
    EXPECT_EQ(Programs(), "AB");
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(GetLaunch(3), LaunchEntry{});
    EXPECT_EQ(GetLaunch(0), LaunchEntry{});
    EXPECT_EQ(GetBlindCopy(1), BlindCopy{});

    InsertLaunch(1, L("N"));
    InsertLaunch(4, L("Z"));  // count + 1 appends
    EXPECT_EQ(Programs(), "NABZ");
    EXPECT_TRUE(IsModified());
    DeleteLaunch(2);
    SwapLaunches(3, 1);
    EXPECT_EQ(Programs(), "ZBN");

    S().Modified = false;
    LaunchEntry e = GetLaunch(1);
    e.CmdLine = "/s";
    SetLaunch(1, e);  // a command line alone is no change to save
    EXPECT_EQ(GetLaunch(1).CmdLine, "/s");
    EXPECT_FALSE(IsModified());
}
