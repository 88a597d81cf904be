#pragma once
// The customization wizard: a modeless, fixed-size window that walks the administrator through
// the steps and applies the choices to the model on Finish.
#include <QDialog>

class frmWizard : public QDialog {
    Q_OBJECT

public:
    // mainWindow is disabled by the caller while the wizard is open; the wizard enables it again
    // when it closes (Finish, Cancel, or its close box) and then emits Closed().
    explicit frmWizard(QWidget* mainWindow);

signals:
    void Closed();

private:
    QWidget* mainWindow_;
};
