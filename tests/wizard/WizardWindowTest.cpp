// The wizard window: page order, checks, refills, the pages' controls and closing.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "GuiTestUtil.h"
#include "WizardTestUtil.h"
#include "store/Util.h"
#include "wizard/frmWizard.h"

using namespace Qt::StringLiterals;

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
        delete w.data();
        main.setEnabled(false);
        w = new frmWizard(&main);
        w->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(w.data(), &frmWizard::Closed, [this] { ++closed; });
        w->show();
        w->Form_Activate();
    }

    // A product with two languages and user information, so that steps 5 and 9 pass.
    void Product(const char* name, bool silent, const char* type = "Typical") {
        Model().Product = name;
        Model().InstallModeSilent = silent;
        Model().Type = type;
        Model().UserName = "User";
        Model().UserCompanyName = "Company";
        Model().UserSerialNumber = "SN-1";
        AddLanguage("English", "0009");
        AddLanguage("German", "0007");
    }

    void Press(int button) {
        ASSERT_TRUE(w->cmdNav[button]->isEnabled()) << button << " on step " << w->CurrentStep;
        w->cmdNav[button]->click();
    }
    void Next() { Press(3); }
    void Back() { Press(2); }

    // Presses Next (running `onStep` on each page first) until Next is disabled or refused.
    Steps WalkForward(const std::function<void(int)>& onStep = {}) {
        Steps seen{w->CurrentStep};
        while (w->cmdNav[3]->isEnabled() && seen.size() < 20) {
            if (onStep) onStep(w->CurrentStep);
            w->cmdNav[3]->click();
            if (w->CurrentStep == seen.back()) break;
            seen.push_back(w->CurrentStep);
        }
        return seen;
    }
    Steps WalkBack() {
        Steps seen{w->CurrentStep};
        while (w->cmdNav[2]->isEnabled() && seen.size() < 20) {
            w->cmdNav[2]->click();
            seen.push_back(w->CurrentStep);
        }
        return seen;
    }
};

// ---- Page order -------------------------------------------------------------------------------

TEST_F(WizardWindowTest, PageOrderFollowsModeEditionAndHiddenDialogsAndBackRetracesIt) {
    struct Case {
        const char* product;
        bool silent, hidesDest, hidesType, hidesUser;
        const char* type;
        Steps forward;
    };
    const Case cases[] = {
        {kNoEditionProduct, false, false, false, false, "Typical", {0, 1, 11}},
        {kFullProduct, false, false, false, false, "Typical", {0, 1, 10, 11}},
        {kFullProduct, true, false, false, false, "Typical", {0, 1, 5, 7, 9, 10, 11}},
        {kFullProduct, true, false, false, false, "Custom", {0, 1, 5, 7, 8, 9, 10, 11}},
        {kFullProduct, true, false, false, true, "Custom", {0, 1, 5, 7, 8, 10, 11}},
        {kViewerProduct, true, true, false, true, "Typical", {0, 1, 5, 10, 11}},
        {kNoEditionProduct, true, false, true, false, "Typical", {0, 1, 5, 6, 9, 11}},
    };
    for (const Case& c : cases) {
        modTAVIN::ResetState();
        Product(c.product, c.silent, c.type);
        Model().ProductHidesDestDirDlgs = c.hidesDest;
        Model().ProductHidesTypeDlg = c.hidesType;
        Model().ProductHidesUserInfoDlg = c.hidesUser;
        Open();
        const Steps forward = WalkForward([&](int step) {
            for (int s = 0; s < frmWizard::kSteps; ++s) {
                if (w->fraStep[s]) {
                    EXPECT_EQ(w->fraStep[s]->isVisible(), s == step) << s;
                }
            }
            EXPECT_FALSE(w->cmdNav[4]->isEnabled()) << "Finish on step " << step;
        });
        EXPECT_EQ(forward, c.forward) << c.product << " " << c.type;
        EXPECT_TRUE(w->cmdNav[4]->isEnabled());
        EXPECT_TRUE(w->cmdNav[1]->isEnabled());
        Steps back(c.forward.rbegin(), c.forward.rend());
        EXPECT_EQ(WalkBack(), back) << c.product << " " << c.type;
        EXPECT_TRUE(ui.messages.empty());
    }
}

// ---- Checks before Next -----------------------------------------------------------------------

TEST_F(WizardWindowTest, BadDestinationsAreRefusedAndEmptyPasses) {
    Product(kNoEditionProduct, true);
    Model().ProductHidesTypeDlg = true;
    Model().DefaultDestDir = "C:\\Old";
    Open();
    EXPECT_EQ(WalkForward([](int) {}).back(), 11);
    while (w->CurrentStep != 6) Back();

    for (const char* bad : {"C:\\a\\\\b", "/home/admin/App", "C:\\a*", "D:\\Bad|Name"}) {
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

TEST_F(WizardWindowTest, SetupTypePageStoresTypeAndTestedDestination) {
    Product(kFullProduct, true);
    Open();
    WalkForward([this](int step) {
        if (step == 7) w->TextDestDir4->setText(u"D:\\Bad|Name"_s);
    });
    EXPECT_EQ(w->CurrentStep, 7);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter a Valid Path."});
    w->TextDestDir4->setText(u"D:\\Tools"_s);
    w->OptCompact->click();
    EXPECT_FALSE(w->OptTypical->isChecked() || w->OptCustom->isChecked());
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
    WalkForward([this](int step) {
        if (step != 9) return;
        EXPECT_EQ(w->focusWidget(), w->TextUserName) << "entering the page focuses it";
        w->TextCompanyName->setFocus();
    });
    ASSERT_EQ(w->CurrentStep, 9);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please Enter a Default Name."});
    EXPECT_EQ(w->focusWidget(), w->TextUserName);

    w->TextUserName->setText(u"   "_s);  // blanks count as text
    w->TextCompanyName->setFocus();
    Next();
    EXPECT_EQ(ui.Texts().back(), "Please Enter a Serial Number.") << "tested before the company";
    EXPECT_EQ(w->focusWidget(), w->TextSerialNumber);

    w->TextSerialNumber->setText(u"42"_s);
    Next();
    EXPECT_EQ(ui.Texts().back(), "Plese Enter a Company Name.");
    EXPECT_EQ(w->focusWidget(), w->TextCompanyName);
    EXPECT_EQ(w->CurrentStep, 9);

    w->TextCompanyName->setText(u"Acme"_s);
    Next();
    EXPECT_EQ(w->CurrentStep, 10);
    EXPECT_EQ(GetWizardSettings().UserName, "   ");
    EXPECT_EQ(GetWizardSettings().UserSerialNumber, "42");
    EXPECT_EQ(GetWizardSettings().UserCompanyName, "Acme");
    EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(WizardWindowTest, AnEmptyLanguageListIsRefused) {
    Model().Product = kFullProduct;
    Model().InstallModeSilent = true;
    Open();
    WalkForward();
    EXPECT_EQ(w->CurrentStep, 5);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please Select a language."});
}

// ---- Refills and stores -----------------------------------------------------------------------

TEST_F(WizardWindowTest, BackDropsEditsThatNextDidNotStore) {
    Product(kFullProduct, true);
    Model().DefaultDestDir = "C:\\Stored";
    Open();
    WalkForward([this](int step) {
        if (step == 9) w->TextUserName->setText(u"Typed"_s);
    });
    ASSERT_EQ(w->CurrentStep, 11);
    Back();
    Back();
    ASSERT_EQ(w->CurrentStep, 9);
    w->TextUserName->setText(u"Not stored"_s);
    Back();
    ASSERT_EQ(w->CurrentStep, 7);
    w->TextDestDir4->setText(u"C:\\Dropped"_s);
    w->OptCompact->click();
    Back();
    Next();
    EXPECT_EQ(w->TextDestDir4->text(), u"C:\\Stored"_s);
    EXPECT_TRUE(w->OptTypical->isChecked());
    Next();
    EXPECT_EQ(w->TextUserName->text(), u"Typed"_s);
}

TEST_F(WizardWindowTest, InteractiveModeForgetsTheTypeAndTypeIsMatchedWithCase) {
    Product(kNoEditionProduct, true, "Compact");
    Open();
    Next();
    EXPECT_EQ(w->cmbSilentMode->currentText(), u"Yes"_s);
    Next();  // "Yes" keeps the type
    EXPECT_EQ(GetWizardSettings().Type, "Compact");
    EXPECT_TRUE(w->OptCompact->isChecked());
    Back();
    w->cmbSilentMode->setCurrentIndex(0);
    EXPECT_EQ(w->cmbSilentMode->currentText(), u"No"_s);
    Next();
    EXPECT_FALSE(GetWizardSettings().InstallModeSilent);
    EXPECT_EQ(GetWizardSettings().Type, "");

    for (const char* type : {"compact", "", "Other"}) {
        Model().Type = type;
        Open();
        EXPECT_TRUE(w->OptTypical->isChecked()) << type;
        EXPECT_FALSE(w->OptCompact->isChecked() || w->OptCustom->isChecked()) << type;
    }
}

TEST_F(WizardWindowTest, TheLanguagePageShowsTheStoredChoiceAndAWalkPastItKeepsIt) {
    Product(kFullProduct, true);
    Model().Iss.SelectedLanguage = 2;
    Open();
    Next();
    Next();
    ASSERT_EQ(w->ListLanguages->count(), 2);
    EXPECT_EQ(w->ListLanguages->item(1)->text(), u"German"_s);
    EXPECT_EQ(w->ListLanguages->currentRow(), 1);
    Next();
    EXPECT_EQ(GetWizardSettings().SelectedLanguage, 2) << "a walk past the page keeps it";
    Back();
    EXPECT_EQ(w->ListLanguages->currentRow(), 1);
    w->ListLanguages->setCurrentRow(0);
    Next();
    EXPECT_EQ(GetWizardSettings().SelectedLanguage, 1);
    Back();
    EXPECT_EQ(w->ListLanguages->currentRow(), 0);

    // A stored choice beyond the list shows the first entry.
    Model().Iss.SelectedLanguage = 3;
    Open();
    Next();
    Next();
    EXPECT_EQ(w->ListLanguages->currentRow(), 0);
}

TEST_F(WizardWindowTest, OptionsPageByEdition) {
    Product(kViewerProduct, false);
    AddCopyList({Update(kViewerKey, "DisableWebServicesUpdate"), Collab("http://dav")});
    Open();
    WalkForward([this](int step) {
        if (step != 10) return;
        EXPECT_FALSE(w->TextCollaboration->isEnabled());
        EXPECT_EQ(w->TextCollaboration->text(), u""_s);
        EXPECT_TRUE(w->ChkDisUpdate->isEnabled());
        EXPECT_TRUE(w->ChkDisUpdate->isChecked());
        w->ChkDisUpdate->setChecked(false);
    });
    EXPECT_EQ(GetWizardSettings().CollabServer, "") << "the disabled box stores its empty text";
    EXPECT_FALSE(GetWizardSettings().DisableUpdates);

    Model().Product = kFullProduct;
    Open();
    Next();
    Next();
    ASSERT_EQ(w->CurrentStep, 10);
    EXPECT_EQ(w->focusWidget(), w->TextCollaboration);
    EXPECT_EQ(w->TextCollaboration->text(), u"http://dav"_s);
    w->TextCollaboration->setText(u"  any text "_s);
    Next();
    EXPECT_EQ(GetWizardSettings().CollabServer, "  any text ") << "Next trims nothing";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WizardWindowTest, DestinationAndServerBoxesTrimBlanksWhenLeft) {
    Product(kFullProduct, false);
    Open();
    w->TextDestDir3->setText(u"  C:\\Program Files\\X \t "_s);
    LoseFocus(w->TextDestDir3);
    EXPECT_EQ(w->TextDestDir3->text(), u"C:\\Program Files\\X \t"_s) << "blanks only";
    w->TextDestDir4->setText(u" D:\\Y "_s);
    LoseFocus(w->TextDestDir4);
    EXPECT_EQ(w->TextDestDir4->text(), u"D:\\Y"_s);
    w->TextCollaboration->setText(u"   "_s);
    LoseFocus(w->TextCollaboration);
    EXPECT_EQ(w->TextCollaboration->text(), u""_s);
    w->TextUserName->setText(u" Name "_s);
    LoseFocus(w->TextUserName);
    EXPECT_EQ(w->TextUserName->text(), u" Name "_s);
}

TEST_F(WizardWindowTest, BrowseFillsTheBoxAndCancelKeepsIt) {
    Product(kNoEditionProduct, true);
    Model().ProductHidesTypeDlg = true;
    Open();
    while (w->CurrentStep != 6) Next();
    ui.Folder("/srv/installers/target").Folder("").Folder("/opt/x");
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text(), u"/srv/installers/target"_s);
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text(), u"/srv/installers/target"_s);
    w->CmdBrowse4->click();
    EXPECT_EQ(w->TextDestDir4->text(), u"/opt/x"_s);
    EXPECT_EQ(ui.folderTitles, std::vector<std::string>(3, "Select directory"));

    // Return in the box is no click on a button: no browser opens and the step stays.
    w->TextDestDir3->setText(u"C:\\Typed"_s);
    w->TextDestDir3->setFocus();
    QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w->TextDestDir3, &ret);
    EXPECT_EQ(w->CurrentStep, 6);
    EXPECT_EQ(w->TextDestDir3->text(), u"C:\\Typed"_s);
    EXPECT_EQ(ui.folderTitles.size(), 3u);
}

// ---- Text lengths -----------------------------------------------------------------------------

// Every box whose text the save writes takes as many characters as the next open reads back,
// and no more: typed, pasted or browsed.
TEST_F(WizardWindowTest, TextBoxesTakeNoMoreThanTheNextOpenReadsBack) {
    Product(kFullProduct, true);  // the full edition: the server box is enabled
    Model().ProductHidesTypeDlg = true;
    Open();
    const int most = Util::kValueChars;
    for (const char* name : {"TextDestDir3", "TextDestDir4", "TextUserName", "TextCompanyName",
                             "TextSerialNumber", "TextCollaboration"}) {
        QLineEdit* box = Find<QLineEdit>(w, name);
        box->setText(QString(most - 1, QLatin1Char('a')));
        box->end(false);
        for (int typed = 0; typed < 2; ++typed) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
            QApplication::sendEvent(box, &key);
        }
        EXPECT_EQ(box->text().toStdString(), std::string(most - 1, 'a') + "b") << name;
        box->clear();
        box->insert(QString(most + 1, QLatin1Char('c')));
        EXPECT_EQ(box->text().size(), most) << name << ": a paste is cut";
    }

    // A browsed folder whose path the box cannot hold whole is refused, not cut.
    while (w->CurrentStep != 6) Next();
    const std::string fits = "/" + std::string(most - 1, 'f');
    ui.Folder(fits + "g").Folder(fits);
    w->TextDestDir3->setText(u"C:\\Kept"_s);
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text(), u"C:\\Kept"_s);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(std::to_string(most) + " characters"), std::string::npos)
        << ui.messages[0].text;
    w->CmdBrowse3->click();
    EXPECT_EQ(w->TextDestDir3->text().size(), most);
    EXPECT_EQ(ui.messages.size(), 1u);
}

// ---- Components tree --------------------------------------------------------------------------

TEST_F(WizardWindowTest, ComponentTreeGroupsByParentInFirstOrder) {
    Product(kFullProduct, true, "Custom");
    AddComponent("A", "first", false);
    AddComponent("B", "second", false);
    AddComponent("A", "third", true);
    AddComponent("C", "fourth", true);
    AddComponent("Ind2", "odd parent", false);
    Open();
    QTreeWidget* tree = w->tvwCustomInstall;
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    QStringList groups;
    for (int i = 0; i < 4; ++i) {
        groups << tree->topLevelItem(i)->text(0);
        EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
    }
    EXPECT_EQ(groups.join(u","_s), u"A,B,C,Ind2"_s);
    QTreeWidgetItem* a = w->FindNode(u"A"_s);
    EXPECT_EQ(a->checkState(0), Qt::Checked) << "A holds an enabled component";
    EXPECT_EQ(w->FindNode(u"B"_s)->checkState(0), Qt::Unchecked);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(0)->text(0), u"first"_s);
    EXPECT_EQ(a->child(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(a->child(1)->text(0), u"third"_s);
    EXPECT_EQ(a->child(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(a->child(1)->data(0, Qt::UserRole).toString(), u"Ind3"_s);
    EXPECT_EQ(w->FindNode(u"Ind4"_s)->parent(), w->FindNode(u"C"_s));
    EXPECT_EQ(tree->topLevelItem(3)->child(0)->text(0), u"odd parent"_s);
}

TEST_F(WizardWindowTest, CheckingAGroupPassesItsStateToItsItemsOnly) {
    Product(kFullProduct, true, "Custom");
    AddComponent("A", "a1", true);
    AddComponent("B", "b1", true);
    AddComponent("A", "a2", true);
    Open();
    WalkForward([this](int step) {
        if (step != 8) return;
        QTreeWidgetItem* a = w->FindNode(u"A"_s);
        // The space bar on group A, as a click on its box.
        w->tvwCustomInstall->setCurrentItem(a);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, u" "_s);
        QApplication::sendEvent(w->tvwCustomInstall, &press);
        EXPECT_EQ(a->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode(u"Ind1"_s)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode(u"Ind3"_s)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(w->FindNode(u"Ind2"_s)->checkState(0), Qt::Checked);
        w->FindNode(u"Ind3"_s)->setCheckState(0, Qt::Checked);
        EXPECT_EQ(a->checkState(0), Qt::Unchecked) << "an item leaves its group as it is";
    });
    const auto& comps = GetWizardSettings().Components;
    EXPECT_FALSE(comps(1).Enabled);
    EXPECT_TRUE(comps(2).Enabled);
    EXPECT_TRUE(comps(3).Enabled);
}

// ---- Closing ----------------------------------------------------------------------------------

TEST_F(WizardWindowTest, CancelCloseBoxAndEscapeApplyNothingAndEnableTheMainWindow) {
    Product(kFullProduct, true);
    AddComponent("A", "a1", true);
    AddCopyList();
    const OemInstall before = Model();
    const auto copyLists = modTAVIN::S().BlindCopies;
    const std::function<void()> closers[] = {
        [this] { Press(1); },
        [this] { w->close(); },
        [this] {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(w.data(), &esc);
        },
    };
    int expectedClosed = 0;
    for (const auto& close : closers) {
        Open();
        EXPECT_FALSE(main.isEnabled());
        WalkForward([this](int step) {
            if (step == 7) w->TextDestDir4->setText(u"C:\\Elsewhere"_s);
            if (step == 10) w->ChkDisUpdate->setChecked(true);
        });
        close();
        EXPECT_TRUE(main.isEnabled());
        EXPECT_EQ(closed, ++expectedClosed);
        EXPECT_EQ(Model(), before);
        EXPECT_EQ(modTAVIN::S().BlindCopies, copyLists);
        EXPECT_FALSE(modTAVIN::IsModified());
    }
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
    EXPECT_EQ(w->windowTitle(), u"Kivotool"_s);
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "fixed size";
    EXPECT_EQ(
        w->lblIntro->text(),
        u"The Kivotool will now help you modify the user interface for this Tessary installer."_s);
    const QString hint =
        u"To Do so either Click browse or type the full path in the text box provided."_s;
    const QString note =
        u"If a Destination Folder is not assigned, the Installer's Default is used."_s;
    const std::pair<int, std::vector<QString>> pages[] = {
        {1,
         {u"This Installer can be configured to run silently."_s,
          u"Do you want to run the Tessary Installer in Silent mode?"_s}},
        {5, {u"Select a language to install."_s, u"Languages Available for installation"_s}},
        {6, {u"Select a directory for the installation."_s, hint, note}},
        {7,
         {u"Choose a setup type and specify the destination directory."_s, hint,
          u"Program will install with the most common options."_s,
          u"Program will install with the minimum Required options."_s,
          u"You may choose the installed components."_s, note}},
        {8,
         {u"Select the components to install from the list below. (double click for a sublist)"_s}},
        {9,
         {u"The following information must be entered for the Installer to work properly."_s,
          u"Default User Name"_s, u"Company Name"_s, u"Serial Number"_s,
          u"Please Double Check the Serial Number as the program will not install correctly "
          "without a correct Serial Number."_s}},
        {10,
         {u"URL for Online Comments - WebDAV server (Tessary Only)."_s,
          u"Check the box below to turn off updates and internet downloads (Tessary or Lumeno)."_s}},
        {11,
         {u"Clicking finish will apply the changes made in the wizard. The file will not be "
          "altered until the file is saved. To save, after clicking finish select \"save\" "
          "under the file menu in the main window."_s}},
    };
    for (const auto& [step, texts] : pages) {
        std::vector<QString> shown = Labels(w->fraStep[step]);
        std::vector<QString> expected = texts;
        std::sort(shown.begin(), shown.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << "step " << step;
    }
    EXPECT_EQ(Find<QComboBox>(w, "cmbSilentMode")->count(), 2);
    EXPECT_EQ(w->cmbSilentMode->itemText(0) + u","_s + w->cmbSilentMode->itemText(1), u"No,Yes"_s);
    EXPECT_EQ(Find<QRadioButton>(w, "OptTypical")->text() +
                  Find<QRadioButton>(w, "OptCompact")->text() +
                  Find<QRadioButton>(w, "OptCustom")->text(),
              u"TypicalCompactCustom"_s);
    for (const char* name : {"CmdBrowse3", "CmdBrowse4"}) {
        QPushButton* browse = Find<QPushButton>(w, name);
        EXPECT_EQ(browse->text(), u"Browse..."_s);
        auto* frame = qobject_cast<QGroupBox*>(browse->parentWidget());
        ASSERT_NE(frame, nullptr) << name;
        EXPECT_EQ(frame->title(), u"Destination Folder"_s);
    }
    EXPECT_EQ(Find<QCheckBox>(w, "ChkDisUpdate")->text(), u"Disable Internet Update"_s);
    const char* captions[] = {"", "Cancel", "< &Back", "&Next >", "&Finish"};
    for (int i = 1; i <= 4; ++i) {
        const std::string name = "cmdNav" + std::to_string(i);
        EXPECT_EQ(Find<QPushButton>(w, name.c_str())->text(), QLatin1String(captions[i]));
    }
    for (int s = 0; s < frmWizard::kSteps; ++s) {
        const QString frame = QStringLiteral("fraStep%1").arg(s);
        const bool page = s < 2 || s > 4;
        EXPECT_EQ(w->findChild<QFrame*>(frame) != nullptr, page) << s;
        if (!page) continue;
        auto* img =
            w->findChild<QFrame*>(frame)->findChild<QLabel*>(QStringLiteral("imgStep%1").arg(s));
        ASSERT_NE(img, nullptr) << s;
        EXPECT_FALSE(img->pixmap().isNull());
    }
    for (const char* name : {"TextDestDir3", "TextDestDir4", "TextUserName", "TextCompanyName",
                             "TextSerialNumber", "TextCollaboration"}) {
        EXPECT_NE(Find<QLineEdit>(w, name)->validator(), nullptr) << name << ": Windows-1252 only";
    }
}

}  // namespace
