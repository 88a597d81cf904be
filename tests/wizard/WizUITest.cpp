// The wizard's working record: edition tests, load from the model and apply back to it.

#include <gtest/gtest.h>

#include <algorithm>

#include "WizardTestUtil.h"

using namespace modWizUI;

namespace {

using WizUITest = WizardFixture;

bool Has(const std::vector<RegEntry>& rows, const RegEntry& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(WizUITest, EditionsFollowTheProductNameWithoutRegardToCase) {
    EXPECT_FALSE(IsFullEdition() || IsViewerEdition() || IsFormsEdition()) << "before any load";

    struct Case { const char* product; bool full, viewer, forms; };
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
}

TEST_F(WizUITest, LoadCopiesTheRecordAndReadsTheRegistryRows) {
    Model().Product = kFullProduct;
    Model().DisplayEULA = true;
    Model().DisplayFinishDlg = true;  // not part of the record
    Model().Type = "Custom";
    Model().UserName = "Ann";
    Model().ProductHidesTypeDlg = true;
    Model().UninstallPreviousVersions = true;
    AddComponent("A", "a1", true);
    AddLanguage("English", "0009");
    AddLanguage("German", "0007");
    Model().Iss.SelectedLanguage = 2;
    AddCopyList({CollabServerRow("http://first"), CollabServerRow("http://second")});

    LoadWizardSettings();
    const WizardSettings w = GetWizardSettings();
    EXPECT_EQ(w.Product, kFullProduct);
    EXPECT_TRUE(w.DisplayEULA);
    EXPECT_EQ(w.Type, "Custom");
    EXPECT_EQ(w.UserName, "Ann");
    EXPECT_TRUE(w.ProductHidesTypeDlg);
    EXPECT_TRUE(w.UninstallPreviousVersions);
    EXPECT_EQ(w.Components, Model().Components);
    EXPECT_EQ(w.Languages, Model().Iss.Languages);
    EXPECT_EQ(w.SelectedLanguage, 2);
    EXPECT_EQ(w.CollabServer, "http://second") << "the last matching row gives the server";
    EXPECT_FALSE(w.DisableUpdates);
}

TEST_F(WizUITest, OnlyTwoOfTheUpdateRowsCountAsDisablingUpdates) {
    Model().Product = kFullProduct;
    struct Case { RegEntry row; bool disables; };
    const Case cases[] = {
        {ViewerUpdateRow("DisableTessaryUpdate"), false},
        {FullUpdateRow("DisableWebServicesUpdate"), false},
        {ViewerUpdateRow("DisableWebServicesUpdate"), true},
        {FullUpdateRow("DisableTessaryUpdate"), true},
    };
    for (const Case& c : cases) {
        modTAVIN::S().BlindCopies.Clear();
        AddCopyList({c.row});
        LoadWizardSettings();
        EXPECT_EQ(GetWizardSettings().DisableUpdates, c.disables) << c.row.Key << " " << c.row.ValueName;
    }
}

TEST_F(WizUITest, RowsHaveTheirExactKeys) {
    const RegEntry collab = CollabServerRow("x");
    EXPECT_EQ(collab.Key, "Software\\Vontu\\Vontu Tessary\\5.0\\Collab\\cServerSettings");
    EXPECT_EQ(collab.ValueName, "tDAVFDF");
    EXPECT_EQ(collab.ValueType, "STRING");
    EXPECT_EQ(collab.Platform, "All");
    EXPECT_EQ(collab.ParentKey, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(ViewerUpdateRow("A").Key, "SOFTWARE\\Vontu\\Tessary Lumeno\\5.0\\VontuViewer");
    EXPECT_EQ(FullUpdateRow("A").Key, "SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer");
    EXPECT_EQ(FullUpdateRow("A").ValueType, "Number");
    EXPECT_EQ(FullUpdateRow("A").ValueData, "1");
}

TEST_F(WizUITest, FullEditionSetsReplacesAndRemovesTheCollaborationRow) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    AddCopyList();
    LoadWizardSettings();

    ApplyWizardSettings();  // empty server, no row: nothing to do
    EXPECT_TRUE(Rows().empty());

    WizSettings.CollabServer = "http://one";
    ApplyWizardSettings();
    EXPECT_EQ(Rows(), std::vector<RegEntry>{CollabServerRow("http://one")});

    WizSettings.CollabServer = "http://two";
    ApplyWizardSettings();
    EXPECT_EQ(Rows(), std::vector<RegEntry>{CollabServerRow("http://two")}) << "replaced, not added";

    WizSettings.CollabServer.clear();
    ApplyWizardSettings();
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(modTAVIN::S().BlindCopies(1).Groups.Count(), 0) << "the emptied group is pruned";
}

TEST_F(WizUITest, UpdateRowsFollowTheEditionsKey) {
    Model().Product = kViewerProduct;
    Model().InstallModeSilent = true;
    const RegEntry otherKey = FullUpdateRow("DisableTessaryUpdate");
    AddCopyList({otherKey, CollabServerRow("http://kept")});
    LoadWizardSettings();

    WizSettings.DisableUpdates = true;
    WizSettings.CollabServer.clear();  // the viewer never touches the collaboration row
    ApplyWizardSettings();
    std::vector<RegEntry> rows = Rows();
    EXPECT_TRUE(Has(rows, ViewerUpdateRow("DisableWebServicesUpdate")));
    EXPECT_TRUE(Has(rows, ViewerUpdateRow("DisableTessaryUpdate")));
    EXPECT_TRUE(Has(rows, otherKey)) << "rows of the other key are never touched";
    EXPECT_TRUE(Has(rows, CollabServerRow("http://kept")));
    EXPECT_EQ(rows.size(), 4u);

    ApplyWizardSettings();  // wanted and present: removed and added again, never doubled
    EXPECT_EQ(Rows().size(), 4u);

    WizSettings.DisableUpdates = false;
    ApplyWizardSettings();
    rows = Rows();
    EXPECT_FALSE(Has(rows, ViewerUpdateRow("DisableWebServicesUpdate")));
    EXPECT_FALSE(Has(rows, ViewerUpdateRow("DisableTessaryUpdate")));
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(WizUITest, FormsEditionUsesTheFullKeyAndNoEditionWritesNoRows) {
    Model().Product = kFormsProduct;
    Model().InstallModeSilent = true;
    AddCopyList();
    LoadWizardSettings();
    WizSettings.DisableUpdates = true;
    WizSettings.CollabServer = "http://ignored";
    ApplyWizardSettings();
    const std::vector<RegEntry> rows = Rows();
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_TRUE(Has(rows, FullUpdateRow("DisableWebServicesUpdate")));
    EXPECT_TRUE(Has(rows, FullUpdateRow("DisableTessaryUpdate")));

    modTAVIN::S().BlindCopies.Clear();
    AddCopyList();
    Model().Product = kNoEditionProduct;
    LoadWizardSettings();
    WizSettings.DisableUpdates = true;
    WizSettings.CollabServer = "http://ignored";
    ApplyWizardSettings();
    EXPECT_TRUE(Rows().empty());
}

TEST_F(WizUITest, AModelWithoutCopyListsLoadsAndAppliesWithoutRows) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    LoadWizardSettings();
    EXPECT_FALSE(WizSettings.DisableUpdates);
    EXPECT_EQ(WizSettings.CollabServer, "");

    WizSettings.CollabServer = "http://server";
    WizSettings.DisableUpdates = true;
    WizSettings.UserName = "Bea";
    ApplyWizardSettings();
    EXPECT_EQ(modTAVIN::BlindCopyCount(), 0);
    EXPECT_EQ(Model().UserName, "Bea") << "the settings still reach the model";
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(WizUITest, SilentApplyKeepsTheWizardsChoicesAndClearsTheDialogs) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    Model().DisplayWelcomeDlg = true;
    Model().UninstallPreviousVersions = true;
    Model().UninstallCombineVersions = false;
    AddLanguage("English", "0009");
    AddLanguage("French", "000c");
    LoadWizardSettings();
    WizSettings.DefaultDestDir = "C:\\Apps";
    WizSettings.Type = "Compact";
    WizSettings.UserName = "Cy";
    WizSettings.UserCompanyName = "Co";
    WizSettings.UserSerialNumber = "123";
    WizSettings.SelectedLanguage = 2;
    WizSettings.Components.Append(ComponentEntry{"A", "a1", true});

    ApplyWizardSettings();
    const OemInstall& m = Model();
    EXPECT_FALSE(m.DisplayWelcomeDlg) << "the silent preset overrides the record";
    EXPECT_TRUE(m.InstallModeSilent);
    EXPECT_EQ(m.DefaultDestDir, "C:\\Apps");
    EXPECT_EQ(m.Type, "Compact");
    EXPECT_EQ(m.UserName, "Cy");
    EXPECT_EQ(m.UserCompanyName, "Co");
    EXPECT_EQ(m.UserSerialNumber, "123");
    EXPECT_EQ(m.Iss.SelectedLanguage, 2);
    EXPECT_EQ(m.Components, WizSettings.Components);
    EXPECT_TRUE(m.UninstallPreviousVersions);
    EXPECT_TRUE(m.UninstallCombineVersions) << "both uninstall flags follow the record";
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(WizUITest, InteractiveApplyTakesTheProductsDefaults) {
    WriteFileBytes(dir / "KIVO.ini",
                   Crlf("[Vontu(R) Tessary(R) 5.0]\n"
                        "DisplayWelcomeDlg=NO\nDisplayEULA=YES\nUninstallPreviousVersions=NO\n"
                        "UninstallCombineVersions=NO\nType=Typical\nInstallModeSilent=NO\n"));
    Model().Product = kFullProduct;
    Model().DisplayWelcomeDlg = true;
    Model().DisplayEULA = false;
    Model().UninstallPreviousVersions = true;
    Model().Type = "Custom";
    LoadWizardSettings();
    WizSettings.UserName = "Dee";

    ApplyWizardSettings();
    EXPECT_FALSE(Model().DisplayWelcomeDlg);
    EXPECT_TRUE(Model().DisplayEULA);
    EXPECT_FALSE(Model().UninstallPreviousVersions);
    EXPECT_FALSE(Model().UninstallCombineVersions);
    EXPECT_EQ(Model().Type, "Typical");
    EXPECT_EQ(Model().UserName, "Dee");
}

TEST_F(WizUITest, ApplyMarksTheModelModifiedEvenWithoutChanges) {
    Model().Product = kNoEditionProduct;
    Model().InstallModeSilent = true;
    LoadWizardSettings();
    ASSERT_FALSE(modTAVIN::IsModified());
    ApplyWizardSettings();
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST(WizUIAbsInt, GivesMagnitudes) {
    EXPECT_EQ(AbsInt(-1), 1);
    EXPECT_EQ(AbsInt(0), 0);
    EXPECT_EQ(AbsInt(7), 7);
    EXPECT_EQ(AbsInt(-32768), 32767);
}

}  // namespace
