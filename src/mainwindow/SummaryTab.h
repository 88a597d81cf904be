#pragma once
#include <QWidget>

class frmMain;

class SummaryTab : public QWidget {
    Q_OBJECT

public:
    explicit SummaryTab(frmMain* main);

private:
    frmMain* main_;
};
