#include "wizard/frmWizard.h"

frmWizard::frmWizard(QWidget* mainWindow) : QDialog(nullptr), mainWindow_(mainWindow) {
    setObjectName("frmWizard");
    setWindowTitle("Kivotool");
}
