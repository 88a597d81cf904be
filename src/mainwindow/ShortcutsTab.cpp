#include "mainwindow/ShortcutsTab.h"

#include "mainwindow/frmMain.h"

ShortcutsTab::ShortcutsTab(frmMain* main) : QWidget(main), main_(main) {}
