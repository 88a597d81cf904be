// The wizard's working record: edition tests, load from the model and apply back to it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "support/ChildProcess.h"
#include "wizard/WizardTestUtil.h"

using namespace modWizUI;

namespace {

using WizUITest = WizardFixture;

bool Has(const std::vector<RegEntry>& rows, const RegEntry& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(WizUITest, EditionsFollowTheProductNameWithoutRegardToCase) {
    EXPECT_FALSE(IsFullEdition() || IsViewerEdition() || IsFormsEdition()) << "before any load";
    struct Case {
        const char* product;
        bool full, viewer, forms;
    };
    const Case cases[] = {
        {"vontu(r) TESSARY(r) 5.0.5 Patch", true, false, false},
        {"Vontu(R) Tessary(R) Morvine 1.0", true, false, false},
        {kNoEditionProduct, false, false, false},
        {"Tessary Lumeno 5.0.5", false, true, false},
        {"Tessary Formwell 5.0", false, false, true},
        {"tessary sanctile 5.0.5", false, false, true},
        {"Scanvel Plugin 5.0", false, false, false},
    };
    for (const Case& c : cases) {
        Model().Product = c.product;
        LoadWizardSettings();
        EXPECT_EQ(IsFullEdition(), c.full) << c.product;
        EXPECT_EQ(IsViewerEdition(), c.viewer) << c.product;
        EXPECT_EQ(IsFormsEdition(), c.forms) << c.product;
    }
    Model().Product = kFullProduct;
    LoadWizardSettings();
    ResetState();
    EXPECT_EQ(GetWizardSettings(), WizardSettings{});
    EXPECT_FALSE(IsFullEdition()) << "a reset empties the record the edition tests read";
}

TEST_F(WizUITest, LoadCopiesTheRecordAndReadsTheRegistryRows) {
    Model().Product = kFullProduct;
    Model().DisplayEULA = true;
    Model().Type = "Custom";
    Model().ProductHidesTypeDlg = true;
    AddComponent("A", "a1", true);
    AddLanguage("English", "0009");
    Model().Iss.SelectedLanguage = 1;
    AddCopyList({Collab("http://first"), Collab("http://second")});
    LoadWizardSettings();
    const WizardSettings w = GetWizardSettings();
    EXPECT_TRUE(w.DisplayEULA);
    EXPECT_EQ(w.Type, "Custom");
    EXPECT_TRUE(w.ProductHidesTypeDlg);
    EXPECT_EQ(w.Components, Model().Components);
    EXPECT_EQ(w.Languages, Model().Iss.Languages);
    EXPECT_EQ(w.SelectedLanguage, 1);
    EXPECT_EQ(w.CollabServer, "http://second") << "the last matching row gives the server";

    // Only two of the four update rows count, whatever the edition.
    const std::pair<RegEntry, bool> rows[] = {
        {Update(kViewerKey, "DisableTessaryUpdate"), false},
        {Update(kFullKey, "DisableWebServicesUpdate"), false},
        {Update(kViewerKey, "DisableWebServicesUpdate"), true},
        {Update(kFullKey, "DisableTessaryUpdate"), true},
    };
    for (const auto& [row, disables] : rows) {
        modTAVIN::S().BlindCopies.Clear();
        AddCopyList({row});
        LoadWizardSettings();
        EXPECT_EQ(GetWizardSettings().DisableUpdates, disables) << row.Key << " " << row.ValueName;
        EXPECT_EQ(GetWizardSettings().CollabServer, "");
    }
}

TEST_F(WizUITest, FullEditionSetsReplacesAndRemovesTheCollaborationRow) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    AddCopyList();
    LoadWizardSettings();
    ApplyWizardSettings();  // empty server, no row: nothing to do
    EXPECT_TRUE(Rows().empty());
    ChangeRecord([](WizardSettings& w) { w.CollabServer = "http://one"; });
    ApplyWizardSettings();
    ChangeRecord([](WizardSettings& w) { w.CollabServer = "http://two"; });
    ApplyWizardSettings();
    EXPECT_EQ(Rows(), std::vector<RegEntry>{Collab("http://two")}) << "replaced, not added";
    ChangeRecord([](WizardSettings& w) { w.CollabServer.clear(); });
    ApplyWizardSettings();
    EXPECT_TRUE(Rows().empty());
}

TEST_F(WizUITest, UpdateRowsFollowTheEditionsKey) {
    Model().Product = kViewerProduct;
    Model().InstallModeSilent = true;
    const RegEntry otherKey = Update(kFullKey, "DisableTessaryUpdate");
    AddCopyList({otherKey, Collab("http://kept")});
    LoadWizardSettings();
    ChangeRecord([](WizardSettings& w) {
        w.DisableUpdates = true;
        w.CollabServer.clear();  // the viewer never touches the collaboration row
    });
    ApplyWizardSettings();
    ApplyWizardSettings();  // wanted and present: removed and added again, never doubled
    std::vector<RegEntry> rows = Rows();
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_TRUE(Has(rows, Update(kViewerKey, "DisableWebServicesUpdate")));
    EXPECT_TRUE(Has(rows, Update(kViewerKey, "DisableTessaryUpdate")));
    EXPECT_TRUE(Has(rows, otherKey)) << "rows of the other key are never touched";
    EXPECT_TRUE(Has(rows, Collab("http://kept")));
    ChangeRecord([](WizardSettings& w) { w.DisableUpdates = false; });
    ApplyWizardSettings();
    EXPECT_EQ(Rows(), (std::vector<RegEntry>{otherKey, Collab("http://kept")}));

    // The forms edition uses the full key; no edition writes no row.
    for (const char* product : {kFormsProduct, kNoEditionProduct}) {
        modTAVIN::S().BlindCopies.Clear();
        AddCopyList();
        Model().Product = product;
        LoadWizardSettings();
        ChangeRecord([](WizardSettings& w) {
            w.DisableUpdates = true;
            w.CollabServer = "http://ignored";
        });
        ApplyWizardSettings();
        const std::vector<RegEntry> expected =
            product == kFormsProduct
                ? std::vector<RegEntry>{Update(kFullKey, "DisableWebServicesUpdate"),
                                        Update(kFullKey, "DisableTessaryUpdate")}
                : std::vector<RegEntry>{};
        EXPECT_EQ(Rows(), expected) << product;
    }
}

TEST_F(WizUITest, AModelWithoutCopyListsLoadsAndAppliesWithoutRows) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    LoadWizardSettings();
    EXPECT_FALSE(GetWizardSettings().DisableUpdates);
    EXPECT_EQ(GetWizardSettings().CollabServer, "");
    ChangeRecord([](WizardSettings& w) {
        w.CollabServer = "http://server";
        w.DisableUpdates = true;
        w.UserName = "Bea";
    });
    ApplyWizardSettings();
    EXPECT_EQ(modTAVIN::BlindCopyCount(), 0);
    EXPECT_EQ(Model().UserName, "Bea") << "the settings still reach the model";
}

TEST_F(WizUITest, SilentApplyKeepsTheWizardsChoicesAndClearsTheDialogs) {
    Model().Product = kNoEditionProduct;
    Model().InstallModeSilent = true;
    Model().DisplayWelcomeDlg = true;
    Model().UninstallPreviousVersions = true;
    AddLanguage("English", "0009");
    AddLanguage("French", "000c");
    LoadWizardSettings();
    ChangeRecord([](WizardSettings& w) {
        w.DefaultDestDir = "C:\\Apps";
        w.Type = "Compact";
        w.UserName = "Cy";
        w.UserCompanyName = "Co";
        w.UserSerialNumber = "123";
        w.SelectedLanguage = 2;
        w.Components.Append(ComponentEntry{"A", "a1", true});
    });
    ASSERT_FALSE(modTAVIN::IsModified());
    ApplyWizardSettings();
    const OemInstall& m = Model();
    EXPECT_FALSE(m.DisplayWelcomeDlg) << "the silent preset overrides the record";
    EXPECT_TRUE(m.InstallModeSilent);
    EXPECT_EQ(m.DefaultDestDir, "C:\\Apps");
    EXPECT_EQ(m.Type, "Compact");
    EXPECT_EQ(m.UserName + m.UserCompanyName + m.UserSerialNumber, "CyCo123");
    EXPECT_EQ(m.Iss.SelectedLanguage, 2);
    EXPECT_EQ(m.Components, GetWizardSettings().Components);
    EXPECT_TRUE(m.UninstallPreviousVersions && m.UninstallCombineVersions) << "both follow";
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(WizUITest, InteractiveApplyTakesTheProductsDefaults) {
    WriteFileBytes(dir / "KIVO.ini",
                   Crlf("[Vontu(R) Tessary(R) 5.0]\n"
                        "DisplayWelcomeDlg=NO\nDisplayEULA=YES\nUninstallPreviousVersions=NO\n"
                        "UninstallCombineVersions=NO\nType=Typical\nInstallModeSilent=NO\n"));
    Model().Product = kFullProduct;
    Model().DisplayWelcomeDlg = true;
    Model().UninstallPreviousVersions = true;
    Model().Type = "Custom";
    LoadWizardSettings();
    ChangeRecord([](WizardSettings& w) { w.UserName = "Dee"; });
    ApplyWizardSettings();
    EXPECT_FALSE(Model().DisplayWelcomeDlg);
    EXPECT_TRUE(Model().DisplayEULA);
    EXPECT_FALSE(Model().UninstallPreviousVersions || Model().UninstallCombineVersions);
    EXPECT_EQ(Model().Type, "Typical");
    EXPECT_EQ(Model().UserName, "Dee");
}

TEST(WizUIAbsInt, GivesMagnitudesWithoutOverflow) {
    EXPECT_EQ(AbsInt(-1), 1);
    EXPECT_EQ(AbsInt(0), 0);
    EXPECT_EQ(AbsInt(-32768), 32767);
}

// Factory values that an import could not write into KIVO.ini are kept for the run's preset.
TEST_F(WizUITest, ThePresetKeepsTheFactoryValuesAKivoIniItCannotWriteDidNotTake) {
    chmod(dir.path().c_str(), 0711);  // mkdtemp made it 0700
    if (const std::string why = ClosedToOthers(dir.path()); !why.empty()) GTEST_SKIP() << why;
    const std::string kivoIni = dir / "KIVO.ini", inst = dir / "inst";
    WriteFileBytes(kivoIni, Crlf("[LANGUAGES]\n0009=English\n"));
    chmod(kivoIni.c_str(), 0444);
    std::filesystem::create_directory(inst);
    WriteFileBytes(inst + "/TAVIN.ini",
                   Crlf(std::string("[Main]\nTavinVersion=1.2\nProduct=") + kNoEditionProduct +
                        "\n[OEM Install]\nSetupTitle=Factory title\nProgGroupName=Factory group\n"
                        "DisplayRebootDlg=NO\n"));
    const std::string report = InChildProcess(
        [&] {
            modTAVIN::OpenInstallerDir(inst);
            if (!modTAVIN::KivoHasProductSection()) modTAVIN::ImportOemInstallToKivo();
            modTAVIN::LoadInstaller();
            LoadWizardSettings();
            ApplyWizardSettings();
            const OemInstall& o = Model();
            return o.SetupTitle + "|" + o.ProgGroupName + "|" +
                   (o.DisplayRebootDlg ? "YES" : "NO") + "|" + ui.Texts().at(0).substr(0, 44);
        },
        true);
    EXPECT_EQ(report, "Factory title|Factory group|NO|KIVO could not write the "
                      "default settings of");
}

}  // namespace
