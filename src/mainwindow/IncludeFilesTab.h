#pragma once
// The "Include Files" tab: the tree of components and folders and the file grid.
#include <QWidget>

class frmMain;

class IncludeFilesTab : public QWidget {
    Q_OBJECT

public:
    explicit IncludeFilesTab(frmMain* main);

    void FillDestFilesTree();
    void FillFileGrid();

private:
    frmMain* main_;
};
