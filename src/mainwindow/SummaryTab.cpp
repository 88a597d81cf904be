#include "mainwindow/SummaryTab.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "mainwindow/frmMain.h"
#include "platform/blanks.h"
#include "qtui/Controls.h"
#include "qtui/QtText.h"
#include "store/Util.h"
#include "store/modTAVIN.h"
#include "wizard/modWizUI.h"

namespace {

const char kPlaceholder[] = "Installer Default";

// The text a box stores: without the spaces at its ends (a tab stays).
std::string Trimmed(const QLineEdit* box) {
    return std::string(kivo::TrimSpaces(FromQ(box->text())));
}

void SetText(QLineEdit* box, const std::string& text) {
    QString q = ToQ(text);
    if (box->text() != q) box->setText(q);
}

// A label that shows text of the model, which may hold '<' and must not be read as markup.
QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* l = Named(new QLabel(parent), name);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

SummaryTab::SummaryTab(frmMain* main) : QWidget(main), main_(main) {
    setObjectName("SummaryTab");
    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addRow = [&](const char* name, const char* caption, QWidget* value) {
        grid->addWidget(Named(NewCaption(caption, this), name), row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    };
    LblInstaller = ValueLabel(this, "LblInstaller");
    lblState = ValueLabel(this, "lblState");
    lblSetupType = ValueLabel(this, "lblSetupType");
    LabelCollabServer = ValueLabel(this, "LabelCollabServer");
    LabelDisUpdates = ValueLabel(this, "LabelDisUpdates");
    TextDestDir = Named(NewValueBox(this), "TextDestDir");
    TextUserName = Named(NewValueBox(this), "TextUserName");
    TextCompName = Named(NewValueBox(this), "TextCompName");
    TextSerial = Named(NewValueBox(this), "TextSerial");

    addRow("LblInstallerName", "Installer Name:", LblInstaller);
    addRow("lblModeLabel", "Installer Mode:", lblState);
    addRow("lblSetupTypeName", "Setup Type:", lblSetupType);
    addRow("LabeCollabServerName", "Online Comments - WebDAV Server:", LabelCollabServer);
    addRow("LabelDisUpdatesName", "Disable Internet Updates:", LabelDisUpdates);
    addRow("lblDestDirName", "Destination Directory:", TextDestDir);
    addRow("lblUserInfoName", "User Information:", TextUserName);
    addRow("lblCompanyNameLabel", "Company Name:", TextCompName);
    addRow("lblSerialNumberLabel", "Serial Number:", TextSerial);
    QLabel* check = Named(NewCaption("Please Double Check Serial Number", this), "Label3");
    grid->addWidget(check, row - 1, 2);

    CmdWizard = Named(NewButton("Customize...", this), "CmdWizard");
    grid->addWidget(CmdWizard, row++, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    for (QLineEdit* box : {TextDestDir, TextUserName, TextCompName, TextSerial})
        box->installEventFilter(this);
    connect(CmdWizard, &QPushButton::clicked, main_, &frmMain::CmdWizard_Click);
}

void SummaryTab::ShowRecord(const OemInstall& s) {
    LblInstaller->setText(ToQ(s.Product));
    lblState->setText(s.InstallModeSilent ? QStringLiteral("Silent Mode")
                                          : QStringLiteral("Interactive Mode"));
    const bool known = s.Type == "Typical" || s.Type == "Compact" || s.Type == "Custom";
    lblSetupType->setText(known ? ToQ(s.Type) : QStringLiteral("Default"));
    SetText(TextSerial, s.UserSerialNumber);
    SetText(TextUserName, s.UserName);
    SetText(TextCompName, s.UserCompanyName);
    // A box that holds the focus has had its placeholder removed on entry; putting it back
    // there would store the placeholder as a real directory when the focus leaves.
    const bool placeholder = s.DefaultDestDir.empty() && focused_ != TextDestDir;
    SetText(TextDestDir, placeholder ? std::string(kPlaceholder) : s.DefaultDestDir);
}

void SummaryTab::ShowRegistryLabels() {
    if (modTAVIN::BlindCopyCount() == 0) {
        LabelDisUpdates->setText(QStringLiteral("No"));
        LabelCollabServer->setText(QStringLiteral("None"));
        return;
    }
    using namespace modWizUI;
    const bool full = modTAVIN::FindRegEntry(1, UpdatesOffRow(kFullUpdateKey, kWebServicesUpdate));
    const bool viewer =
        modTAVIN::FindRegEntry(1, UpdatesOffRow(kViewerUpdateKey, kWebServicesUpdate));
    LabelDisUpdates->setText(full || viewer ? QStringLiteral("Yes") : QStringLiteral("No"));
    const RegEntry collabServer = CollabServerRow({});
    if (!modTAVIN::FindRegEntry(1, collabServer)) {
        LabelCollabServer->setText(QStringLiteral("None"));
        return;
    }
    // The last matching entry wins, in whatever group it stands.
    const BlindCopy copy = modTAVIN::GetBlindCopy(1);
    for (const FileGroup& group : copy.Groups)
        for (const RegEntry& entry : group.RegEntries)
            if (modTAVIN::SameRegValue(entry, collabServer))
                LabelCollabServer->setText(ToQ(entry.ValueData));
}

void SummaryTab::StoreTrimmed(QLineEdit* box, std::string OemInstall::*field) {
    main_->EditSettings = modTAVIN::GetOemInstall();
    const std::string text = Trimmed(box);
    SetText(box, text);
    main_->EditSettings.*field = text;
    if (box == TextDestDir && text.empty()) SetText(box, kPlaceholder);
    modTAVIN::SetOemInstall(main_->EditSettings);
}

void SummaryTab::TextUserName_LostFocus() { StoreTrimmed(TextUserName, &OemInstall::UserName); }
void SummaryTab::TextCompName_LostFocus() {
    StoreTrimmed(TextCompName, &OemInstall::UserCompanyName);
}
void SummaryTab::TextSerial_LostFocus() { StoreTrimmed(TextSerial, &OemInstall::UserSerialNumber); }
void SummaryTab::TextDestDir_LostFocus() { StoreTrimmed(TextDestDir, &OemInstall::DefaultDestDir); }

void SummaryTab::TextDestDir_GotFocus() {
    if (TextDestDir->text() == QLatin1String(kPlaceholder)) TextDestDir->clear();
}
void SummaryTab::TextDestDir_Click() { TextDestDir_GotFocus(); }

bool SummaryTab::HasPendingEdit() const {
    std::string OemInstall::*field = nullptr;
    if (focused_ == TextDestDir)
        field = &OemInstall::DefaultDestDir;
    else if (focused_ == TextUserName)
        field = &OemInstall::UserName;
    else if (focused_ == TextCompName)
        field = &OemInstall::UserCompanyName;
    else if (focused_ == TextSerial)
        field = &OemInstall::UserSerialNumber;
    if (!field) return false;
    return Trimmed(focused_) != modTAVIN::GetOemInstall().*field;
}

void SummaryTab::RunLostFocus(QLineEdit* box) {
    if (focused_ != box) return;
    focused_ = nullptr;
    if (box == TextDestDir)
        TextDestDir_LostFocus();
    else if (box == TextUserName)
        TextUserName_LostFocus();
    else if (box == TextCompName)
        TextCompName_LostFocus();
    else if (box == TextSerial)
        TextSerial_LostFocus();
}

void SummaryTab::RunGotFocus(QLineEdit* box) {
    if (focused_ == box) return;
    // A box that never saw its focus leave (focus taken while the window was inactive) loses
    // it now, so that every entry is paired with its exit.
    if (focused_) RunLostFocus(focused_);
    focused_ = box;
    if (box == TextDestDir) TextDestDir_GotFocus();
}

void SummaryTab::MoveFocusTo(QLineEdit* box) {
    if (focused_ == box) return;
    QLineEdit* before = focused_;
    box->setFocus(Qt::OtherFocusReason);
    if (before && focused_ == before) RunLostFocus(before);
    if (focused_ != box) RunGotFocus(box);
}

bool SummaryTab::eventFilter(QObject* watched, QEvent* event) {
    auto* box = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
        case QEvent::FocusIn: RunGotFocus(box); break;
        case QEvent::FocusOut: {
            // Focus that leaves with the window, or for a menu, comes back to the same box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                RunLostFocus(box);
            break;
        }
        case QEvent::MouseButtonRelease:
            if (box == TextDestDir) TextDestDir_Click();
            break;
        default: break;
    }
    return QWidget::eventFilter(watched, event);
}
