#include "mainwindow/SublaunchTab.h"

#include <QListWidget>

#include "mainwindow/frmMain.h"

SublaunchTab::SublaunchTab(frmMain* main) : QWidget(main), main_(main) {
    ListLaunch = new QListWidget(this);
    ListLaunch->setObjectName("ListLaunch");
}

void SublaunchTab::FillLaunchList() {}
