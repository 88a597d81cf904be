#include "qtui/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qtui/QtText.h"
#include "store/Util.h"

QLabel* NewCaption(const char* caption, QWidget* parent) {
    return new QLabel(QLatin1String(caption), parent);
}

QPushButton* NewButton(const char* caption, QWidget* parent) {
    return new QPushButton(QLatin1String(caption), parent);
}

QLineEdit* NewValueBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    RestrictToCp1252(box);
    box->setMaxLength(Util::kValueChars);
    return box;
}
