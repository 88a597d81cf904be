// The wizard's step order, decided on the working record alone: every setting leads from the
// first step to the last over pages only, and Back retraces the way exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "wizard/WizardTestUtil.h"

using namespace modWizUI;
using Steps = std::vector<int>;

namespace {

using WizStepOrderTest = WizardFixture;

// Walks Next from step 0 to step 11 (Custom chosen on step 7 as the record's Type says), then
// Back to step 0. Gives up after more moves than there are steps.
std::pair<Steps, Steps> Walk() {
    const bool custom = GetWizardSettings().Type == "Custom";
    Steps forward{0};
    while (forward.back() != 11 && forward.size() < 13) {
        forward.push_back(NextStep(static_cast<int16_t>(forward.back()), custom));
    }
    Steps back{forward.back()};
    while (back.back() != 0 && back.size() < 13) {
        back.push_back(PreviousStep(static_cast<int16_t>(back.back())));
    }
    return {forward, back};
}

std::string Describe(const WizardSettings& s) {
    return s.Product + (s.InstallModeSilent ? " silent" : " interactive") + " type " + s.Type +
           (s.ProductHidesDestDirDlgs ? " hidesDest" : "") +
           (s.ProductHidesTypeDlg ? " hidesType" : "") +
           (s.ProductHidesUserInfoDlg ? " hidesUser" : "");
}

TEST_F(WizStepOrderTest, EverySettingWalksOverPagesToTheEndAndBackRetracesIt) {
    const std::set<int> pages{0, 1, 5, 6, 7, 8, 9, 10, 11};
    for (const char* product : {kFullProduct, kViewerProduct, kFormsProduct, kNoEditionProduct}) {
        for (int bits = 0; bits < 32; ++bits) {
            WizardSettings s;
            s.Product = product;
            s.InstallModeSilent = bits & 1;
            s.ProductHidesDestDirDlgs = bits & 2;
            s.ProductHidesTypeDlg = bits & 4;
            s.ProductHidesUserInfoDlg = bits & 8;
            s.Type = (bits & 16) ? "Custom" : "Typical";
            SetWizardSettings(s);
            // Named, not bound: a lambda below captures `forward`.
            const auto [forwardSteps, back] = Walk();
            const Steps& forward = forwardSteps;
            const std::string what = Describe(s);

            ASSERT_EQ(forward.back(), 11) << what;
            ASSERT_EQ(back.back(), 0) << what;
            EXPECT_EQ(Steps(back.rbegin(), back.rend()), forward) << what;
            EXPECT_EQ(std::set<int>(forward.begin(), forward.end()).size(), forward.size())
                << what << ": a step met twice";
            for (int step : forward) EXPECT_TRUE(pages.count(step)) << what << ": step " << step;

            // What each setting shows or hides.
            auto shows = [&forward](int step) {
                return std::find(forward.begin(), forward.end(), step) != forward.end();
            };
            const bool silent = s.InstallModeSilent;
            EXPECT_EQ(shows(5), silent) << what;
            EXPECT_EQ(shows(6), silent && !s.ProductHidesDestDirDlgs && s.ProductHidesTypeDlg)
                << what;
            EXPECT_EQ(shows(7), silent && !s.ProductHidesDestDirDlgs && !s.ProductHidesTypeDlg)
                << what;
            EXPECT_EQ(shows(8), shows(7) && s.Type == "Custom") << what;
            EXPECT_EQ(shows(9), silent && !s.ProductHidesUserInfoDlg) << what;
            EXPECT_EQ(shows(10), product != std::string(kNoEditionProduct)) << what;
        }
    }
}

TEST_F(WizStepOrderTest, StepSevenFollowsThePageChoiceAndTheEndsStayPut) {
    ChangeRecord([](WizardSettings& w) {
        w.Product = kFullProduct;
        w.InstallModeSilent = true;
        w.Type = "Typical";
    });
    EXPECT_EQ(NextStep(7, true), 8) << "the option chosen on the page, not the stored type";
    EXPECT_EQ(NextStep(7, false), 9);
    EXPECT_EQ(NextStep(11, false), 11);
    EXPECT_EQ(PreviousStep(0), 0);
    EXPECT_EQ(PreviousStep(9), 7) << "Back reads the stored type";
    ChangeRecord([](WizardSettings& w) { w.Type = "custom"; });
    EXPECT_EQ(PreviousStep(9), 7) << "matched with letter case";
}

}  // namespace
