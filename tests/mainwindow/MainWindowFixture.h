#pragma once
// A main window over a scripted desktop, with a small installer directory written from literal
// files and a KIVO.ini beside the stand-in executable.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GuiTestUtil.h"
#include "mainwindow/frmMain.h"
#include "qtui/QtText.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TavinText.h"
#include "support/TempDir.h"

namespace mwtest {

// Lets queued events run until cond holds (false when it never did within a few seconds).
template <class Cond>
bool ProcessEventsUntil(Cond cond) {
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

constexpr const char* kProduct = "Vontu(R) Tessary(R) 5.0.5";
constexpr const char* kBrowseTitle =
    "Select the Directory which contains the Tessary Installer you wish to customize";

// The values an installer's settings hold; each test changes what it needs.
struct InstallerValues {
    std::string userName = "Admin";
    std::string company = "Vontu";
    std::string serial = "123-456";
    std::string destDir;
    std::string type = "Typical";
    std::string silent = "NO";
    std::string userInfoDlg = "YES";
    // Extra sections appended as they stand (LF line ends; written as CRLF).
    std::string extra = "[OEM Remove Shortcut]\n"
                        "Tessary Reader=NO\n"
                        "Acme Tool=YES\n";
};

// A complete settings file: every key the save writes is present, so that saving leaves every
// byte but the edited values as it was.
inline std::string TavinIni(const InstallerValues& v) {
    return Crlf(std::string("[Main]\n") +
                "TavinVersion=1.2\n"
                "Product=" +
                kProduct + "\n" +
                OemInstallSection({.setupTitle = "Tessary Setup",
                                   .captionBarTitle = "Tessary",
                                   .userInfoDlg = v.userInfoDlg,
                                   .progGroupName = "Tessary",
                                   .silent = v.silent,
                                   .company = v.company,
                                   .serial = v.serial,
                                   .destDir = v.destDir,
                                   .userName = v.userName}) +
                "[SetupType]\n"
                "Type=" +
                v.type + "\n" + v.extra +
                "[Launches]\n"
                "NumberOfLaunches= 0\n");
}

inline std::string KivoIni() {
    return Crlf(std::string("[LANGUAGES]\n0009=English\n[") + kProduct +
                "]\nDisplayTypeOfInstallDlg=YES\nDisplayUserInfoDlg=YES\n"
                "DisplaySelectDestDirDlg=NO\n");
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        modTAVIN::ResetState();
        ui = std::make_unique<FakeUi>(exeDir.path());
        WriteFileBytes(exeDir / "KIVO.ini", KivoIni());
        w = std::make_unique<frmMain>();
        // The first activation has its own tests; the others start after it.
        w->FirstActivate = false;
    }
    void TearDown() override {
        w.reset();
        ui.reset();
    }

    // Writes an installer directory "name" under the scratch folder and returns its path.
    std::string MakeInstaller(const InstallerValues& v = {}, const std::string& name = "inst") {
        const std::string dir = work / name;
        WriteFileBytes(modTAVIN::PathIn(dir, "TAVIN.ini"), TavinIni(v));
        return dir;
    }
    std::string TavinPath(const std::string& name = "inst") {
        return modTAVIN::PathIn(work / name, "TAVIN.ini");
    }

    // File > Open with no prompt expected, answering the browser with dir.
    void Open(const std::string& dir) {
        ui->Folder(dir);
        ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    }

    template <class T>
    T* Ctl(const char* name) {
        return Find<T>(w.get(), name);
    }
    QLineEdit* Box(const char* name) { return Ctl<QLineEdit>(name); }
    std::string LabelText(const char* name) { return FromQ(Ctl<QLabel>(name)->text()); }
    std::string BoxText(const char* name) { return FromQ(Box(name)->text()); }
    bool Enabled(const char* action) { return Ctl<QAction>(action)->isEnabled(); }
    bool TabsShown() { return !w->ssMainTab->isHidden(); }

    // Enters and leaves a box, as the user tabbing through it does.
    void PassThrough(QLineEdit* box) {
        GainFocus(box);
        LoseFocus(box);
    }
    void TypeInto(QLineEdit* box, const QString& text) {
        GainFocus(box);
        box->setText(text);
        LoseFocus(box);
    }

    TempDir exeDir;
    TempDir work;
    std::unique_ptr<FakeUi> ui;
    std::unique_ptr<frmMain> w;
};

}  // namespace mwtest
