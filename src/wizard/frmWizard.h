#pragma once
// The customization wizard: a modeless, fixed-size window that walks the administrator through
// the steps and applies the choices to the model on Finish.
//
// Steps 0, 1 and 5 to 11 have a page (frame fraStep<n>, picture imgStep<n>); 2 to 4 are never
// entered. The button bar picNav holds cmdNav1 "Cancel", cmdNav2 "< &Back", cmdNav3 "&Next >"
// and cmdNav4 "&Finish".
#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>

#include "wizard/modWizUI.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmWizard : public QDialog {
    Q_OBJECT

public:
    // mainWindow is disabled by the caller while the wizard is open; the wizard enables it again
    // when it closes (Finish, Cancel, or its close box) and then emits Closed().
    explicit frmWizard(QWidget* mainWindow);

    static constexpr int kSteps = 12;
    // Directions of SetStep.
    enum Direction : int16_t { None = 0, Back = 1, Next = 2 };

    // ---- State ----
    int16_t CurrentStep = 0;
    bool FirstActivate = true;
    bool FinishEnabled = false;
    modWizUI::WizardSettings FormSettings;

    // ---- Controls ----
    std::array<QFrame*, kSteps> fraStep{};  // null for 2, 3 and 4
    std::array<QLabel*, kSteps> imgStep{};
    QFrame* picNav = nullptr;
    std::array<QPushButton*, 5> cmdNav{};  // 1..4
    QLabel* lblIntro = nullptr;
    QComboBox* cmbSilentMode = nullptr;
    QListWidget* ListLanguages = nullptr;
    QLineEdit* TextDestDir3 = nullptr;
    QPushButton* CmdBrowse3 = nullptr;
    QRadioButton* OptTypical = nullptr;
    QRadioButton* OptCompact = nullptr;
    QRadioButton* OptCustom = nullptr;
    QLineEdit* TextDestDir4 = nullptr;
    QPushButton* CmdBrowse4 = nullptr;
    QTreeWidget* tvwCustomInstall = nullptr;
    QLineEdit* TextUserName = nullptr;
    QLineEdit* TextCompanyName = nullptr;
    QLineEdit* TextSerialNumber = nullptr;
    QLineEdit* TextCollaboration = nullptr;
    QCheckBox* ChkDisUpdate = nullptr;

    // ---- Handlers ----
    // The window's activation: the first one loads the working record from the model, every
    // one refills the pages. Queued after the first show; tests may call it directly.
    void Form_Activate();
    void cmdNav_Click(int index);
    void CmdBrowse3_Click();
    void CmdBrowse4_Click();
    void OptTypical_Click();
    void OptCompact_Click();
    void OptCustom_Click();
    void TextDestDir3_LostFocus();
    void TextDestDir4_LostFocus();
    void TextCollaboration_LostFocus();
    void tvwCustomInstall_NodeCheck(QTreeWidgetItem* node);

    // ---- Operations ----
    void SetStep(Direction direction);
    void SetNavBtns(int16_t step);
    bool CheckData();
    // Stores the current page's controls into the working record.
    void UpdateData();

    // The tree node with the given key (group: the parent name; item: "Ind<i>"), or null.
    QTreeWidgetItem* FindNode(const QString& key) const;

signals:
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // Form_Unload
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape closes the window like its close box (Cancel), never just hides it.
    void reject() override;

private:
    void Form_Load();
    void FillControls();
    void FillComponentTree();
    QTreeWidgetItem* FindItem(const QString& key) const;  // item nodes only
    bool CheckPath(QLineEdit* box);
    static void TrimBlanks(QLineEdit* box);
    void BrowseInto(QLineEdit* box);

    // One builder per page; the two destination pages (6 and 7) share theirs.
    void BuildWindow();
    void BuildIntroPage();
    void BuildModePage();
    void BuildLanguagePage();
    void BuildDestinationPage(int step);
    QGridLayout* NewSetupTypes(QWidget* page);
    void BuildComponentsPage();
    void BuildUserInfoPage();
    void BuildOptionsPage();
    void BuildEndPage();
    void BuildButtonBar();
    QFrame* NewStepFrame(int step);

    QPointer<QWidget> mainWindow_;
    bool activationQueued_ = false;
    bool unloaded_ = false;
    bool buildingTree_ = false;
};
