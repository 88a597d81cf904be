#include <QApplication>

#include "mainwindow/frmMain.h"
#include "qtui/QtUiServices.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtUiServices services;
    kivo::SetUi(&services);
    frmMain window;
    window.show();
    return app.exec();
}
