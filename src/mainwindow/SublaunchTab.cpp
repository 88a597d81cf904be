#include "mainwindow/SublaunchTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "mainwindow/KeepsSelection.h"
#include "mainwindow/ValueLimit.h"
#include "mainwindow/frmMain.h"
#include "platform/asciicase.h"
#include "platform/fileops.h"
#include "platform/ui.h"
#include "qtui/Controls.h"
#include "qtui/QtText.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           kivo::platform::ContainsIgnoreAsciiCase(std::string_view(text).substr(0, prefix.size()),
                                                   prefix);
}

// The installer directory followed by one separator (a root directory already ends in one).
std::string DirWithSeparator(const std::string& dir) {
    const char sep = kivo::fileops::Separator();
    if (!dir.empty() && dir.back() == sep) return dir;
    return dir + sep;
}

// The launch for a file below the installer directory; `below` is its path relative to the
// directory, with native separators.
LaunchEntry LaunchForFile(std::string below) {
    const std::string sep(1, kivo::fileops::Separator());
    LaunchEntry launch;
    // The installer's file keeps backslashes, whatever this machine uses.
    while (below.find(sep) != std::string::npos)
        launch.ChangeDir += Util::GetToken(below, sep) + "\\";
    launch.Program = below;

    std::string afterFirstStop = below;
    Util::GetToken(afterFirstStop, ".");
    if (kivo::platform::ContainsIgnoreAsciiCase(afterFirstStop, "exe"))
        launch.Type = "EXE";
    else if (afterFirstStop.find("ins") != std::string::npos)
        launch.Type = "INS";

    launch.Platform = "All";
    launch.Language = "All";
    launch.CmdLine = "";
    launch.Wait = "YES";
    return launch;
}

}  // namespace

SublaunchTab::SublaunchTab(frmMain* main) : QWidget(main), main_(main) {
    LblPaths = Named(NewCaption("Paths to launch", this), "LblPaths");
    // Without a selection the flags box would edit the first launch while still showing
    // another one's flags.
    ListLaunch = Named(new KeepsSelection<QListWidget>(this), "ListLaunch");
    ListLaunch->setSelectionMode(QAbstractItemView::SingleSelection);
    ListLaunch->setSortingEnabled(false);

    LblOrder = Named(NewCaption("Launch order:", this), "LblOrder");
    CmdMoveUp = Named(NewButton("Up", this), "CmdMoveUp");
    CmdMoveDown = Named(NewButton("Down", this), "CmdMoveDown");

    CmdAddLaunch = Named(NewButton("Add", this), "CmdAddLaunch");
    CmdDelLaunch = Named(NewButton("Delete", this), "CmdDelLaunch");
    LblFlags = Named(NewCaption("Command line flags", this), "LblFlags");
    TextInstallerFlags = Named(NewValueBox(this), "TextInstallerFlags");
    LblPaths->setBuddy(ListLaunch);
    LblFlags->setBuddy(TextInstallerFlags);

    // Left: the label above the list; right of the list: the order label above Up and Down;
    // below the list: Add and Delete side by side, then the flags label above the flags box.
    auto* order = new QVBoxLayout;
    order->addWidget(LblOrder);
    order->addWidget(CmdMoveUp);
    order->addWidget(CmdMoveDown);
    order->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(LblPaths, 0, 0, 1, 3);
    grid->addWidget(ListLaunch, 1, 0, 1, 3);
    grid->addLayout(order, 1, 3);
    grid->addWidget(LblFlags, 2, 2);
    grid->addWidget(CmdAddLaunch, 3, 0);
    grid->addWidget(CmdDelLaunch, 3, 1);
    grid->addWidget(TextInstallerFlags, 3, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);

    connect(CmdAddLaunch, &QPushButton::clicked, this, [this] { CmdAddLaunch_Click(); });
    connect(CmdDelLaunch, &QPushButton::clicked, this, [this] { CmdDelLaunch_Click(); });
    connect(CmdMoveUp, &QPushButton::clicked, this, [this] { CmdMoveUp_Click(); });
    connect(CmdMoveDown, &QPushButton::clicked, this, [this] { CmdMoveDown_Click(); });
    // A change to "no row selected" (emptying, removing a row, clearing) runs nothing.
    connect(ListLaunch, &QListWidget::itemSelectionChanged, this, [this] {
        if (SelectedRow() >= 0) ListLaunch_Click();
    });
    connect(TextInstallerFlags, &QLineEdit::textChanged, this,
            [this] { TextInstallerFlags_Change(); });
}

std::string SublaunchTab::LaunchRowText(const std::string& changeDir, const std::string& program,
                                        const std::string& cmdLine) {
    std::string text = changeDir;
    if (text.empty() || text.front() != '\\') text.insert(text.begin(), '\\');
    if (text.back() != '\\') text += '\\';
    text += program;
    if (text.back() != ' ') text += ' ';
    text += cmdLine;
    return text;
}

int SublaunchTab::SelectedRow() const {
    for (int row = ListLaunch->count() - 1; row >= 0; --row) {
        if (ListLaunch->item(row)->isSelected()) return row;
    }
    return -1;
}

int SublaunchTab::SelectedRowOrFirst() const { return std::max(SelectedRow(), 0); }

void SublaunchTab::SelectRow(int row) { ListLaunch->setCurrentRow(row); }

void SublaunchTab::SelectLastRow() {
    if (ListLaunch->count() > 0) SelectRow(ListLaunch->count() - 1);
}

void SublaunchTab::ClearSelection() {
    const QSignalBlocker quiet(ListLaunch);
    ListLaunch->clearSelection();
}

void SublaunchTab::FillLaunchList() {
    const int noted = SelectedRowOrFirst();

    // The rows are rewritten in place rather than cleared and added: a rebuild runs on every
    // keystroke in the flags box, and in place it neither resets the model under the view's
    // own handlers nor scrolls the list back to the top.
    const int count = modTAVIN::LaunchCount();
    {
        const QSignalBlocker quiet(ListLaunch);
        while (ListLaunch->count() > count) delete ListLaunch->takeItem(ListLaunch->count() - 1);
        for (int i = 1; i <= count; ++i) {
            const LaunchEntry launch = modTAVIN::GetLaunch(static_cast<int16_t>(i));
            const QString text =
                ToQ(LaunchRowText(launch.ChangeDir, launch.Program, launch.CmdLine));
            if (i <= ListLaunch->count()) {
                QListWidgetItem* item = ListLaunch->item(i - 1);
                if (item->text() != text) item->setText(text);
            } else {
                ListLaunch->addItem(text);
            }
        }
        // Last: removing the current row makes the view select another one.
        ListLaunch->clearSelection();
    }

    // Another installer may have fewer launches than the row that was selected.
    if (count > 0) SelectRow(std::min(noted, count - 1));
}

void SublaunchTab::CmdAddLaunch_Click() {
    auto& ui = kivo::Ui();
    const std::string dir = modTAVIN::GetInstallerDir();
    const std::string path = ui.OpenFileDialog(kLaunchFilter, dir);
    const std::string underDir = DirWithSeparator(dir);

    if (path == underDir + "setup.exe" || path == underDir + "Setup.exe") {
        ui.MessageBox("You cannot sublaunch the installer you are currently customizing.",
                      kivo::MsgButtons::OK, Util::kMessageTitle);
    } else if (kivo::fileops::FileExists(path)) {
        ui.SetHourglass(true);
        if (StartsWithIgnoringCase(path, underDir)) {
            bool ok = true;
            const std::string below = NativeToCp1252(path.substr(underDir.size()), &ok);
            const LaunchEntry launch = ok ? LaunchForFile(below) : LaunchEntry{};
            if (!ok) {
                ui.MessageBox(kPathNotCp1252, kivo::MsgButtons::OK, Util::kMessageTitle);
            } else if (!FitsOneValue(launch.ChangeDir) || !FitsOneValue(launch.Program)) {
                ui.MessageBox(kPathTooLong, kivo::MsgButtons::OK, Util::kMessageTitle);
            } else {
                modTAVIN::InsertLaunch(static_cast<int16_t>(modTAVIN::LaunchCount() + 1), launch);
            }
        } else {
            ui.MessageBox("You must select a file under the " + NativeToCp1252(dir) + " directory.",
                          kivo::MsgButtons::OK, Util::kMessageTitle);
        }
        ui.SetHourglass(false);
    }

    FillLaunchList();
    SelectLastRow();
}

void SublaunchTab::CmdDelLaunch_Click() {
    const int row = SelectedRowOrFirst();
    if (row >= ListLaunch->count()) return;
    {
        const QSignalBlocker quiet(ListLaunch);
        delete ListLaunch->takeItem(row);
        // The removed row took the selection with it; none is left.
        ListLaunch->clearSelection();
    }
    modTAVIN::DeleteLaunch(static_cast<int16_t>(row + 1));
    FillLaunchList();
}

void SublaunchTab::MoveSelected(int step) {
    if (ListLaunch->count() == 1) return;
    const int row = SelectedRow();
    ClearSelection();
    if (row < 0) return;

    const int launch = row + 1;
    modTAVIN::SwapLaunches(static_cast<int16_t>(launch + step), static_cast<int16_t>(launch));
    FillLaunchList();
    SelectRow(std::clamp(row + step, 0, ListLaunch->count() - 1));
}

void SublaunchTab::CmdMoveUp_Click() { MoveSelected(-1); }

void SublaunchTab::CmdMoveDown_Click() { MoveSelected(+1); }

void SublaunchTab::ListLaunch_Click() {
    const LaunchEntry launch = modTAVIN::GetLaunch(static_cast<int16_t>(SelectedRowOrFirst() + 1));
    const QString text = ToQ(launch.CmdLine);
    // Setting the text it already holds would still move the caret to the end while typing.
    if (TextInstallerFlags->text() != text) TextInstallerFlags->setText(text);
}

void SublaunchTab::TextInstallerFlags_Change() {
    const auto index = static_cast<int16_t>(SelectedRowOrFirst() + 1);
    LaunchEntry launch = modTAVIN::GetLaunch(index);
    const std::string typed = FromQ(TextInstallerFlags->text());
    // A selection puts the launch's own command line into the box, which changes nothing; only
    // a text that differs from the stored one is an edit that a close must not drop.
    const bool edited = index <= modTAVIN::LaunchCount() && launch.CmdLine != typed;
    launch.CmdLine = typed;
    modTAVIN::SetLaunch(index, launch);
    if (edited) {
        // The launch store leaves the modified flag alone; the settings record's store marks it.
        main_->EditSettings = modTAVIN::GetOemInstall();
        modTAVIN::SetOemInstall(main_->EditSettings);
    }
    FillLaunchList();
}
