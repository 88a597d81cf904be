#pragma once
// The "Summary" tab: what kind of installation the installer performs, and the four texts it
// fills in on the target machines (destination, user name, company name, serial number).
#include <QWidget>
#include <string>

#include "store/model.h"

class frmMain;
class QLabel;
class QLineEdit;
class QPushButton;

class SummaryTab : public QWidget {
    Q_OBJECT

public:
    explicit SummaryTab(frmMain* main);

    QLabel* LblInstaller = nullptr;
    QLabel* lblState = nullptr;
    QLabel* lblSetupType = nullptr;
    QLabel* LabelCollabServer = nullptr;
    QLabel* LabelDisUpdates = nullptr;
    QLineEdit* TextDestDir = nullptr;
    QLineEdit* TextUserName = nullptr;
    QLineEdit* TextCompName = nullptr;
    QLineEdit* TextSerial = nullptr;
    QPushButton* CmdWizard = nullptr;

    // Labels and text boxes from the settings record (the texts set here run no handler).
    void ShowRecord(const OemInstall& settings);
    // The update and server labels, from the registry entries of the first copy list.
    void ShowRegistryLabels();

    void TextUserName_LostFocus();
    void TextCompName_LostFocus();
    void TextSerial_LostFocus();
    void TextDestDir_LostFocus();
    void TextDestDir_GotFocus();
    void TextDestDir_Click();

    // Moves the focus to one of the four boxes so that the focus-loss handler of the box that
    // held it, and the focus-gain handler of the new one, have run when this returns. Qt
    // delivers focus events only inside the active window; the handlers are run here when it
    // did not (the window is inactive while a prompt that led to a save is closing).
    void MoveFocusTo(QLineEdit* box);

    // True when the box that holds the focus shows a text that leaving it would store as a
    // change: an edit the model has not seen yet.
    bool HasPendingEdit() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StoreTrimmed(QLineEdit* box, std::string OemInstall::*field);
    void RunLostFocus(QLineEdit* box);
    void RunGotFocus(QLineEdit* box);

    frmMain* main_;
    // The box that holds the focus as the handlers see it. Focus that only leaves with the
    // window (another application, a message box, a menu) has not left the box.
    QLineEdit* focused_ = nullptr;
};
