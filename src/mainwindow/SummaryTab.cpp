#include "mainwindow/SummaryTab.h"

#include "mainwindow/frmMain.h"

SummaryTab::SummaryTab(frmMain* main) : QWidget(main), main_(main) {}
