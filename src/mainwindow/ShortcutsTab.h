#pragma once
#include <QWidget>

class frmMain;

class ShortcutsTab : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutsTab(frmMain* main);

private:
    frmMain* main_;
};
