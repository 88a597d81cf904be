#pragma once
// The small builders both windows make their controls with. Captions are the tool's own ASCII
// words; text from the model goes through qtui/QtText instead. The tests find controls by their
// object names, so every control a test reaches is Named.

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Gives the control its object name and hands it back, so that building and naming is one line.
template <class W>
W* Named(W* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel* NewCaption(const char* caption, QWidget* parent);
QPushButton* NewButton(const char* caption, QWidget* parent);

// A box for one value of the settings file: it takes only what Windows-1252 can hold, and no
// more characters than one read of the value gives back, so what is saved comes back whole.
QLineEdit* NewValueBox(QWidget* parent = nullptr);
