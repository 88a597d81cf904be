// The wizard window: page order, checks, refills, the pages' controls and closing.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <functional>

#include "GuiTestUtil.h"
#include "WizardTestUtil.h"
#include "mainwindow/QtText.h"
#include "wizard/frmWizard.h"

using namespace modWizUI;
using Steps = std::vector<int>;

namespace {

class WizardWindowTest : public WizardFixture {
protected:
    QWidget main;
    QPointer<frmWizard> w;
    int closed = 0;

    void TearDown() override {
        delete w.data();
        WizardFixture::TearDown();
    }

    // Opens the wizard as the main window does and runs its first activation.
    void Open() {
        main.setEnabled(false);
        w = new frmWizard(&main);
        w->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(w.data(), &frmWizard::Closed, [this] { ++closed; });
        w->show();
        w->Form_Activate();
    }

    // A product of the given name with user information filled in, so that step 9 passes.
    void Product(const char* name, bool silent) {
        Model().Product = name;
        Model().InstallModeSilent = silent;
        Model().UserName = "User";
        Model().UserCompanyName = "Company";
        Model().UserSerialNumber = "SN-1";
        AddLanguage("English", "0009");
        AddLanguage("German", "0007");
    }

    void Press(int button) {
        ASSERT_TRUE(w->cmdNav[button]->isEnabled()) << "button " << button << " on step " << w->CurrentStep;
        w->cmdNav[button]->click();
    }
    void Next() { Press(3); }
    void Back() { Press(2); }

    // Presses Next (running `onStep` on each page first) until Next is disabled.
    Steps WalkForward(const std::function<void(int)>& onStep = {}) {
        Steps seen{w->CurrentStep};
        for (int guard = 0; guard < 20 && w->cmdNav[3]->isEnabled(); ++guard) {
            const int before = w->CurrentStep;
            if (onStep) onStep(before);
            w->cmdNav[3]->click();
            if (w->CurrentStep == before) break;  // refused
            seen.push_back(w->CurrentStep);
        }
        return seen;
    }
    Steps WalkBack() {
        Steps seen{w->CurrentStep};
        for (int guard = 0; guard < 20 && w->cmdNav[2]->isEnabled(); ++guard) {
            w->cmdNav[2]->click();
            seen.push_back(w->CurrentStep);
        }
        return seen;
    }
    // Chooses silent mode on step 1.
    std::function<void(int)> Silent(std::function<void(int)> more = {}) {
        return [this, more](int step) {
            if (step == 1) w->cmbSilentMode->setCurrentIndex(1);
            if (more) more(step);
        };
    }

    std::vector<std::string> Messages() const { return ui.Texts(); }
};

// ---- Page order -------------------------------------------------------------------------------

TEST_F(WizardWindowTest, NoEditionInteractiveGoesStraightToTheEnd) {
    Product(kNoEditionProduct, false);
    Open();
    EXPECT_EQ(WalkForward(), (Steps{0, 1, 11}));
    EXPECT_TRUE(w->cmdNav[4]->isEnabled());
    EXPECT_FALSE(w->cmdNav[3]->isEnabled());
    EXPECT_EQ(WalkBack(), (Steps{11, 1, 0}));
    EXPECT_FALSE(w->cmdNav[2]->isEnabled());
    EXPECT_TRUE(w->cmdNav[1]->isEnabled());
}

TEST_F(WizardWindowTest, FullEditionInteractiveOffersTheOptionsPage) {
    Product(kFullProduct, false);
    Open();
    EXPECT_EQ(WalkForward(), (Steps{0, 1, 10, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 10, 1, 0}));
}

TEST_F(WizardWindowTest, FullEditionSilentTypicalAndBackTheSameWay) {
    Product(kFullProduct, false);
    Open();
    EXPECT_EQ(WalkForward(Silent()), (Steps{0, 1, 5, 7, 9, 10, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 10, 9, 7, 5, 1, 0}));
}

TEST_F(WizardWindowTest, CustomSetupVisitsTheComponents) {
    Product(kFullProduct, true);
    AddComponent("A", "a1", true);
    Open();
    auto custom = Silent([this](int step) {
        if (step == 7) w->OptCustom->click();
    });
    EXPECT_EQ(WalkForward(custom), (Steps{0, 1, 5, 7, 8, 9, 10, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 10, 9, 8, 7, 5, 1, 0}));
}

TEST_F(WizardWindowTest, HiddenUserInformationSkipsItsPage) {
    Product(kFullProduct, true);
    Model().ProductHidesUserInfoDlg = true;
    Model().Type = "Custom";
    Open();
    EXPECT_EQ(WalkForward(Silent()), (Steps{0, 1, 5, 7, 8, 10, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 10, 8, 7, 5, 1, 0}));
}

TEST_F(WizardWindowTest, ViewerHidingDestinationAndUserInformation) {
    Product(kViewerProduct, true);
    Model().ProductHidesDestDirDlgs = true;
    Model().ProductHidesUserInfoDlg = true;
    Open();
    EXPECT_EQ(WalkForward(Silent()), (Steps{0, 1, 5, 10, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 10, 5, 1, 0}));
}

TEST_F(WizardWindowTest, HiddenTypeShowsTheDestinationOnlyPage) {
    Product(kNoEditionProduct, true);
    Model().ProductHidesTypeDlg = true;
    Open();
    EXPECT_EQ(WalkForward(Silent()), (Steps{0, 1, 5, 6, 9, 11}));
    EXPECT_EQ(WalkBack(), (Steps{11, 9, 6, 5, 1, 0}));
}

TEST_F(WizardWindowTest, OneFrameShowsAtATimeAndFinishOnlyAtTheEnd) {
    Product(kFullProduct, true);
    Open();
    WalkForward([this](int) {
        for (int s = 0; s < frmWizard::kSteps; ++s) {
            if (!w->fraStep[s]) continue;
            EXPECT_EQ(w->fraStep[s]->isVisible(), s == w->CurrentStep) << "frame " << s;
        }
        EXPECT_FALSE(w->cmdNav[4]->isEnabled());
        EXPECT_EQ(w->windowTitle(), "Kivotool");
    });
    EXPECT_EQ(w->CurrentStep, 11);
    EXPECT_TRUE(w->fraStep[11]->isVisible());
    EXPECT_FALSE(w->fraStep[10]->isVisible());
}

// ---- Checks before Next -----------------------------------------------------------------------

TEST_F(WizardWindowTest, BadDestinationsAreRefusedAndEmptyPasses) {
    Product(kNoEditionProduct, true);
    Model().ProductHidesTypeDlg = true;
    Model().DefaultDestDir = "C:\\Old";
    Open();
    WalkForward(Silent());  // to the end, then back to step 6
    while (w->CurrentStep != 6) Back();

    for (const char* bad : {"C:\\a\\\\b", "/home/admin/App", "C:\\a*", "C:\\\"x\""}) {
        ui.ClearLog();
        w->TextDestDir3->setText(QString::fromLatin1(bad));
        Next();
        EXPECT_EQ(w->CurrentStep, 6) << bad;
        ASSERT_EQ(ui.messages.size(), 1u) << bad;
        EXPECT_EQ(ui.messages[0].text, "Please enter a Valid Path.");
        EXPECT_EQ(ui.messages[0].title, "KIVO");
        EXPECT_EQ(ui.messages[0].buttons, kivo::MsgButtons::OK);
    }
    EXPECT_EQ(GetWizardSettings().DefaultDestDir, "C:\\Old") << "a refusal stores nothing";

    w->TextDestDir3->clear();
    Next();
    EXPECT_EQ(w->CurrentStep, 9);
    EXPECT_EQ(GetWizardSettings().DefaultDestDir, "") << "empty stands for the installer's default";
}

TEST_F(WizardWindowTest, SetupTypePageTestsItsDestinationToo) {
    Product(kFullProduct, true);
    Open();
    WalkForward(Silent([this](int step) {
        if (step == 7) w->TextDestDir4->setText("D:\\Bad|Name");
    }));
    EXPECT_EQ(w->CurrentStep, 7);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please enter a Valid Path."});
    w->TextDestDir4->setText("D:\\Tools");
    w->OptCompact->click();
    Next();
    EXPECT_EQ(w->CurrentStep, 9);
    EXPECT_EQ(GetWizardSettings().DefaultDestDir, "D:\\Tools");
    EXPECT_EQ(GetWizardSettings().Type, "Compact");
}

TEST_F(WizardWindowTest, UserInformationRefusalsMoveTheFocus) {
    Product(kFullProduct, true);
    Model().UserName.clear();
    Model().UserSerialNumber.clear();
    Model().UserCompanyName.clear();
    Open();
    WalkForward(Silent([this](int step) {
        if (step == 9) {
            EXPECT_EQ(w->focusWidget(), w->TextUserName) << "entering the page focuses it";
            w->TextUserName->setText("");
            w->TextCompanyName->setFocus();
        }
    }));
    ASSERT_EQ(w->CurrentStep, 9) << "refused";
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please Enter a Default Name."});
    EXPECT_EQ(w->focusWidget(), w->TextUserName);

    w->TextUserName->setText("   ");  // blanks count as text
    w->TextSerialNumber->setFocus();  // the focus elsewhere, to see it move
    w->TextCompanyName->setFocus();
    Next();
    EXPECT_EQ(Messages().back(), "Please Enter a Serial Number.") << "checked before the company";
    EXPECT_EQ(w->focusWidget(), w->TextSerialNumber);

    w->TextSerialNumber->setText("42");
    Next();
    EXPECT_EQ(Messages().back(), "Plese Enter a Company Name.");
    EXPECT_EQ(w->focusWidget(), w->TextCompanyName);
    EXPECT_EQ(w->CurrentStep, 9);
    EXPECT_EQ(ui.messages.size(), 3u);

    w->TextCompanyName->setText("Acme");
    Next();
    EXPECT_EQ(w->CurrentStep, 10);
    const WizardSettings s = GetWizardSettings();
    EXPECT_EQ(s.UserName, "   ");
    EXPECT_EQ(s.UserSerialNumber, "42");
    EXPECT_EQ(s.UserCompanyName, "Acme");
}

TEST_F(WizardWindowTest, AnEmptyLanguageListIsRefused) {
    Model().Product = kFullProduct;
    Open();
    WalkForward(Silent());
    EXPECT_EQ(w->CurrentStep, 5);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please Select a language."});
}

// ---- Refills and stores -----------------------------------------------------------------------

TEST_F(WizardWindowTest, BackDropsEditsThatNextDidNotStore) {
    Product(kFullProduct, true);
    Model().DefaultDestDir = "C:\\Stored";
    Open();
    WalkForward(Silent([this](int step) {
        if (step == 9) w->TextUserName->setText("Typed");
    }));
    ASSERT_EQ(w->CurrentStep, 11);
    EXPECT_EQ(GetWizardSettings().UserName, "Typed") << "Next stored it";
    Back();
    Back();
    ASSERT_EQ(w->CurrentStep, 9);
    w->TextUserName->setText("Not stored");
    Back();
    ASSERT_EQ(w->CurrentStep, 7);
    w->TextDestDir4->setText("C:\\Dropped");
    w->OptCompact->click();
    Back();
    Next();
    EXPECT_EQ(w->TextDestDir4->text(), "C:\\Stored");
    EXPECT_TRUE(w->OptTypical->isChecked());
    Next();
    EXPECT_EQ(w->TextUserName->text(), "Typed");
}

TEST_F(WizardWindowTest, SilentModeChoiceAndSetupTypeReset) {
    Product(kNoEditionProduct, true);
    Model().Type = "Compact";
    Open();
    Next();
    EXPECT_EQ(w->cmbSilentMode->currentText(), "Yes");
    EXPECT_EQ(w->cmbSilentMode->count(), 2);
    EXPECT_EQ(w->cmbSilentMode->itemText(0), "No");
    Next();  // "Yes" keeps the type
    EXPECT_EQ(GetWizardSettings().Type, "Compact");
    EXPECT_TRUE(w->OptCompact->isChecked());
    Back();
    w->cmbSilentMode->setCurrentIndex(0);
    Next();
    EXPECT_FALSE(GetWizardSettings().InstallModeSilent);
    EXPECT_EQ(GetWizardSettings().Type, "") << "interactive mode forgets the type";
    EXPECT_EQ(w->CurrentStep, 11);
}

TEST_F(WizardWindowTest, SetupTypeIsMatchedWithLetterCase) {
    for (const char* type : {"compact", "Typical", "", "Other"}) {
        Model().Type = type;
        Open();
        Next();
        EXPECT_TRUE(w->OptTypical->isChecked()) << type;
        EXPECT_FALSE(w->OptCompact->isChecked() || w->OptCustom->isChecked()) << type;
        delete w.data();
    }
}

TEST_F(WizardWindowTest, LanguageChoiceIsStoredAndTheListRestartsAtTheFirst) {
    Product(kFullProduct, true);
    Model().Iss.SelectedLanguage = 2;
    Open();
    Next();
    Next();
    ASSERT_EQ(w->CurrentStep, 5);
    ASSERT_EQ(w->ListLanguages->count(), 2);
    EXPECT_EQ(w->ListLanguages->item(1)->text(), "German");
    EXPECT_EQ(w->ListLanguages->currentRow(), 0) << "first entry, whatever the record holds";
    w->ListLanguages->setCurrentRow(1);
    Next();
    EXPECT_EQ(GetWizardSettings().SelectedLanguage, 2);
    Back();
    EXPECT_EQ(w->ListLanguages->currentRow(), 0);
    Next();
    EXPECT_EQ(GetWizardSettings().SelectedLanguage, 1);
}

TEST_F(WizardWindowTest, OptionsPageForTheViewer) {
    Product(kViewerProduct, true);
    AddCopyList({ViewerUpdateRow("DisableWebServicesUpdate")});
    Open();
    WalkForward(Silent([this](int step) {
        if (step != 10) return;
        EXPECT_FALSE(w->TextCollaboration->isEnabled());
        EXPECT_EQ(w->TextCollaboration->text(), "");
        EXPECT_TRUE(w->ChkDisUpdate->isEnabled());
        EXPECT_TRUE(w->ChkDisUpdate->isChecked());
        w->ChkDisUpdate->setChecked(false);
    }));
    EXPECT_EQ(GetWizardSettings().CollabServer, "");
    EXPECT_FALSE(GetWizardSettings().DisableUpdates);
}

TEST_F(WizardWindowTest, OptionsPageForTheFullEditionTakesTheFocusAndAnyText) {
    Product(kFullProduct, false);
    AddCopyList({CollabServerRow("http://dav")});
    Open();
    Next();
    Next();
    ASSERT_EQ(w->CurrentStep, 10);
    EXPECT_EQ(w->focusWidget(), w->TextCollaboration);
    EXPECT_EQ(w->TextCollaboration->text(), "http://dav");
    w->TextCollaboration->setText("  not a url at all ");
    Next();
    EXPECT_EQ(w->CurrentStep, 11);
    EXPECT_EQ(GetWizardSettings().CollabServer, "  not a url at all ") << "Next trims nothing";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WizardWindowTest, DestinationAndServerBoxesTrimBlanksWhenLeft) {
    Product(kFullProduct, false);
    Open();
    w->TextDestDir3->setText("  C:\\Program Files\\X \t ");
    LoseFocus(w->TextDestDir3);
    EXPECT_EQ(w->TextDestDir3->text(), "C:\\Program Files\\X \t") << "blanks only";
    w->TextDestDir4->setText(" D:\\Y ");
    LoseFocus(w->TextDestDir4);
    EXPECT_EQ(w->TextDestDir4->text(), "D:\\Y");
    w->TextCollaboration->setText("   ");
    LoseFocus(w->TextCollaboration);
    EXPECT_EQ(w->TextCollaboration->text(), "");
    w->TextUserName->setText(" Name ");
    LoseFocus(w->TextUserName);
    EXPECT_EQ(w->TextUserName->text(), " Name ");
}

TEST_F(WizardWindowTest, BrowseFillsTheBoxAndCancelKeepsIt) {
    Product(kFullProduct, false);
    Open();
    w->TextDestDir3->setText("C:\\Before");
    ui.Folder("/srv/installers/target");
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text(), "/srv/installers/target");
    ui.Folder("");
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text(), "/srv/installers/target");
    ui.Folder("/opt/x");
    w->CmdBrowse4->click();
    EXPECT_EQ(w->TextDestDir4->text(), "/opt/x");
    EXPECT_EQ(ui.folderTitles, (std::vector<std::string>{"Select directory", "Select directory",
                                                         "Select directory"}));
}

TEST_F(WizardWindowTest, TextOutsideAsciiCrossesAsWindows1252) {
    Product(kFullProduct, true);
    Model().UserCompanyName = "Caf\xe9 \x80";  // é and the euro sign
    Open();
    WalkForward(Silent([this](int step) {
        if (step == 9) {
            EXPECT_EQ(w->TextCompanyName->text(), QString::fromUtf8("Caf\u00e9 \u20ac"));
            w->TextUserName->setText(QString::fromUtf8("J\u00fcrgen"));
        }
    }));
    EXPECT_EQ(GetWizardSettings().UserName, "J\xfcrgen");
}

// ---- Components tree --------------------------------------------------------------------------

TEST_F(WizardWindowTest, ComponentTreeGroupsByParentInFirstOrder) {
    Product(kFullProduct, true);
    Model().Type = "Custom";
    AddComponent("A", "first", false);
    AddComponent("B", "second", false);
    AddComponent("A", "third", true);
    AddComponent("C", "fourth", true);
    Open();
    QTreeWidget* tree = w->tvwCustomInstall;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "A");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "B");
    EXPECT_EQ(tree->topLevelItem(2)->text(0), "C");
    EXPECT_EQ(w->FindNode("A"), tree->topLevelItem(0));
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Checked) << "A holds an enabled component";
    EXPECT_EQ(tree->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QTreeWidgetItem* a = tree->topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(0), w->FindNode("Ind1"));
    EXPECT_EQ(a->child(1), w->FindNode("Ind3"));
    EXPECT_EQ(a->child(1)->text(0), "third");
    EXPECT_EQ(a->child(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(a->child(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(w->FindNode("Ind4")->parent(), tree->topLevelItem(2));
    EXPECT_EQ(w->FindNode("Ind5"), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
}

TEST_F(WizardWindowTest, CheckingAGroupPassesItsStateToItsItemsOnly) {
    Product(kFullProduct, true);
    Model().Type = "Custom";
    AddComponent("A", "a1", true);
    AddComponent("B", "b1", true);
    AddComponent("A", "a2", true);
    Open();
    WalkForward(Silent([this](int step) {
        if (step != 8) return;
        QTreeWidget* tree = w->tvwCustomInstall;
        QTreeWidgetItem* a = w->FindNode("A");
        // The administrator presses the space bar on group A, as a click on its box does.
        tree->setCurrentItem(a);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
        QApplication::sendEvent(tree, &press);
        EXPECT_EQ(a->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode("Ind1")->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode("Ind3")->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode("Ind2")->checkState(0), Qt::Checked);
        // An item changed alone leaves its group as it is.
        w->FindNode("Ind3")->setCheckState(0, Qt::Checked);
        EXPECT_EQ(a->checkState(0), Qt::Unchecked);
    }));
    const auto& comps = GetWizardSettings().Components;
    EXPECT_FALSE(comps(1).Enabled);
    EXPECT_TRUE(comps(2).Enabled);
    EXPECT_TRUE(comps(3).Enabled);
}

TEST_F(WizardWindowTest, ParentNamesThatLookLikeItemKeysStillGroup) {
    Product(kFullProduct, true);
    AddComponent("Ind2", "x", true);
    AddComponent("", "y", false);
    Open();
    QTreeWidget* tree = w->tvwCustomInstall;
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "x");
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), "y");
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->data(0, Qt::UserRole).toString(), "Ind2");
}

// ---- Closing ----------------------------------------------------------------------------------

TEST_F(WizardWindowTest, CancelLeavesTheModelAndEnablesTheMainWindow) {
    Product(kFullProduct, true);
    AddComponent("A", "a1", true);
    AddCopyList();
    const modTAVIN::State before = modTAVIN::S();
    Open();
    EXPECT_FALSE(main.isEnabled());
    WalkForward(Silent([this](int step) {
        if (step == 7) w->TextDestDir4->setText("C:\\Elsewhere");
        if (step == 10) w->ChkDisUpdate->setChecked(true);
    }));
    ASSERT_EQ(w->CurrentStep, 11);
    Press(1);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(modTAVIN::S().OemSettings, before.OemSettings);
    EXPECT_EQ(modTAVIN::S().BlindCopies, before.BlindCopies);
    EXPECT_FALSE(modTAVIN::IsModified());
}

TEST_F(WizardWindowTest, CloseBoxAndEscapeActLikeCancel) {
    Product(kFullProduct, false);
    Open();
    w->close();
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(closed, 1);
    delete w.data();

    main.setEnabled(false);
    Open();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w.data(), &esc);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(closed, 2);
    EXPECT_FALSE(modTAVIN::IsModified());
}

TEST_F(WizardWindowTest, FinishAppliesAndEnablesTheMainWindow) {
    Product(kFullProduct, true);
    AddCopyList();
    Open();
    WalkForward(Silent([this](int step) {
        if (step == 7) w->TextDestDir4->setText("E:\\Target");
        if (step == 10) {
            w->TextCollaboration->setText("http://dav.example");
            w->ChkDisUpdate->setChecked(true);
        }
    }));
    Press(4);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(Model().DefaultDestDir, "E:\\Target");
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_TRUE(modTAVIN::IsModified());
}

// ---- Pages ------------------------------------------------------------------------------------

std::vector<QString> Labels(QWidget* frame) {
    std::vector<QString> out;
    for (QLabel* l : frame->findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) out.push_back(l->text());
    }
    return out;
}

TEST_F(WizardWindowTest, PagesCarryTheirTextsAndNamedControls) {
    Open();
    EXPECT_EQ(w->lblIntro->text(),
              "The Kivotool will now help you modify the user interface for this Tessary installer.");
    EXPECT_EQ(Labels(w->fraStep[5]), (std::vector<QString>{"Select a language to install.",
                                                           "Languages Available for installation"}));
    EXPECT_EQ(Labels(w->fraStep[10]),
              (std::vector<QString>{"URL for Online Comments - WebDAV server (Tessary Only).",
                                    "Check the box below to turn off updates and internet "
                                    "downloads (Tessary or Lumeno)."}));
    EXPECT_EQ(Labels(w->fraStep[11]).at(0),
              "Clicking finish will apply the changes made in the wizard. The file will not be "
              "altered until the file is saved. To save, after clicking finish select \"save\" "
              "under the file menu in the main window.");
    EXPECT_EQ(Labels(w->fraStep[9]).back(),
              "Please Double Check the Serial Number as the program will not install correctly "
              "without a correct Serial Number.");
    EXPECT_EQ(Find<QCheckBox>(w, "ChkDisUpdate")->text(), "Disable Internet Update");
    EXPECT_EQ(Find<QPushButton>(w, "CmdBrowse4")->text(), "Browse...");
    EXPECT_EQ(Find<QPushButton>(w, "cmdNav1")->text(), "Cancel");
    EXPECT_EQ(Find<QPushButton>(w, "cmdNav2")->text(), "< &Back");
    EXPECT_EQ(Find<QPushButton>(w, "cmdNav3")->text(), "&Next >");
    EXPECT_EQ(Find<QPushButton>(w, "cmdNav4")->text(), "&Finish");
    for (int s : {0, 1, 5, 6, 7, 8, 9, 10, 11}) {
        const std::string frame = "fraStep" + std::to_string(s);
        const std::string picture = "imgStep" + std::to_string(s);
        QFrame* f = Find<QFrame>(w, frame.c_str());
        ASSERT_NE(f, nullptr);
        QLabel* img = Find<QLabel>(f, picture.c_str());
        ASSERT_NE(img, nullptr);
        EXPECT_FALSE(img->pixmap().isNull());
    }
    for (int s : {2, 3, 4}) {
        const std::string frame = "fraStep" + std::to_string(s);
        EXPECT_EQ(w->findChild<QFrame*>(QString::fromStdString(frame)), nullptr);
    }
    for (const char* name : {"TextDestDir3", "TextDestDir4", "TextUserName", "TextCompanyName",
                             "TextSerialNumber", "TextCollaboration"}) {
        QLineEdit* box = Find<QLineEdit>(w, name);
        ASSERT_NE(box, nullptr);
        EXPECT_NE(box->validator(), nullptr) << name << " refuses text outside Windows-1252";
    }
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "fixed size";
}

}  // namespace
