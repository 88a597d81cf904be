#pragma once
// The "Shortcuts" tab: for each desktop shortcut named in the installer's settings, whether the
// installer leaves it in place (left list) or removes it (right list).
#include <QWidget>

class frmMain;
class QListWidget;
class QPushButton;
struct OemInstall;

class ShortcutsTab : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutsTab(frmMain* main);

    QListWidget* ListIncShortcut = nullptr;  // shortcuts to install
    QListWidget* ListRemShortcut = nullptr;  // shortcuts to remove
    QPushButton* CmdRemShortcut = nullptr;   // "----->"
    QPushButton* CmdAddShortcut = nullptr;   // "<-----"

    // Refills both lists from the record, in model order (the lists sort themselves).
    void FillShortcutLists(const OemInstall& settings);

    void CmdRemShortcut_Click();
    void CmdAddShortcut_Click();

private:
    void MoveShortcut(QListWidget* source, QListWidget* target, bool remove);

    frmMain* main_;
};
