#pragma once
// Small helpers for the window tests: find controls by their objectName, and press menu
// entries only when they are enabled (a test must not press a disabled menu).

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QWidget>
#include <gtest/gtest.h>

template <class T>
T* Find(QObject* root, const char* name) {
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// Triggers the named QAction if it is enabled; returns whether it was.
inline bool Trigger(QObject* root, const char* name) {
    QAction* a = Find<QAction>(root, name);
    if (!a) return false;
    if (!a->isEnabled()) return false;
    a->trigger();
    return true;
}

// Sends the focus-out event a control gets when the focus leaves it.
inline void LoseFocus(QWidget* w) {
    QFocusEvent ev(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &ev);
}
inline void GainFocus(QWidget* w) {
    QFocusEvent ev(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w, &ev);
}
