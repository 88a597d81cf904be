#include "mainwindow/IncludeFilesTab.h"

#include "mainwindow/frmMain.h"

IncludeFilesTab::IncludeFilesTab(frmMain* main) : QWidget(main), main_(main) {}

void IncludeFilesTab::FillDestFilesTree() {}
void IncludeFilesTab::FillFileGrid() {}
