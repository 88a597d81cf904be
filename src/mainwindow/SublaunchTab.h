#pragma once
// The "Sublaunch" tab: programs the installer launches after itself.
#include <QWidget>

class frmMain;
class QListWidget;

class SublaunchTab : public QWidget {
    Q_OBJECT

public:
    explicit SublaunchTab(frmMain* main);

    QListWidget* ListLaunch = nullptr;

    void FillLaunchList();

private:
    frmMain* main_;
};
