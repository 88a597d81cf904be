#pragma once
// The "Sublaunch" tab: programs the installer launches after itself, in order, each with its
// command-line flags. The tab keeps no copy of the launch list: every handler that may change
// the store rebuilds the list box from it.
#include <QWidget>
#include <string>

class frmMain;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class SublaunchTab : public QWidget {
    Q_OBJECT

public:
    explicit SublaunchTab(frmMain* main);

    // The filter of the dialog that chooses a file to launch.
    static constexpr const char* kLaunchFilter =
        "Executable File (*.exe)|*.exe| Install Shield Script (*.ins)|*.ins";

    QLabel* LblPaths = nullptr;         // "Paths to launch"
    QListWidget* ListLaunch = nullptr;  // row r shows launch r + 1
    QLabel* LblOrder = nullptr;         // "Launch order:"
    QPushButton* CmdMoveUp = nullptr;
    QPushButton* CmdMoveDown = nullptr;
    QPushButton* CmdAddLaunch = nullptr;
    QPushButton* CmdDelLaunch = nullptr;
    QLabel* LblFlags = nullptr;  // "Command line flags"
    QLineEdit* TextInstallerFlags = nullptr;

    // Rebuilds the list from the store and selects again the row that was selected.
    void FillLaunchList();

    void CmdAddLaunch_Click();
    void CmdDelLaunch_Click();
    void CmdMoveUp_Click();
    void CmdMoveDown_Click();
    // Runs whenever a row becomes selected, by the user or by code, nested in the selection.
    void ListLaunch_Click();
    // Runs on every change of the flags box's text (not when it is set to the text it holds).
    void TextInstallerFlags_Change();

    // The text of the row that shows a launch.
    static std::string LaunchRowText(const std::string& changeDir, const std::string& program,
                                     const std::string& cmdLine);

private:
    // The selected row, or -1.
    int SelectedRow() const;
    // The selected row, or 0 when none is selected.
    int SelectedRowOrFirst() const;
    // Selects a row; the selection runs ListLaunch_Click through the list's signal.
    void SelectRow(int row);
    void SelectLastRow();
    // Clears the selection without running anything.
    void ClearSelection();
    // Moves the selected launch by one place (-1 earlier, +1 later).
    void MoveSelected(int step);

    frmMain* main_;
};
