#include "mainwindow/ShortcutsTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "mainwindow/frmMain.h"
#include "qtui/Controls.h"
#include "qtui/QtText.h"
#include "store/modTAVIN.h"

namespace {

// Rows sort alphabetically without regard to case, as a sorted Windows list box does.
class ShortcutItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        return QString::compare(text(), other.text(), Qt::CaseInsensitive) < 0;
    }
};

QListWidget* ShortcutList(QWidget* parent, const char* name) {
    auto* list = Named(new QListWidget(parent), name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(true);
    return list;
}

void AddRow(QListWidget* list, const QString& text) { list->addItem(new ShortcutItem(text)); }

// The selected row, or -1.
int SelectedRow(QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

}  // namespace

ShortcutsTab::ShortcutsTab(frmMain* main) : QWidget(main), main_(main) {
    setObjectName("ShortcutsTab");
    ListIncShortcut = ShortcutList(this, "ListIncShortcut");
    ListRemShortcut = ShortcutList(this, "ListRemShortcut");
    CmdRemShortcut = Named(NewButton("----->", this), "CmdRemShortcut");
    CmdAddShortcut = Named(NewButton("<-----", this), "CmdAddShortcut");
    auto* label9 = Named(NewCaption("Desktop Shortcuts to Install", this), "Label9");
    auto* label17 = Named(NewCaption("Desktop Shortcuts to Remove", this), "Label17");

    auto* grid = new QGridLayout(this);
    grid->addWidget(label9, 0, 0);
    grid->addWidget(label17, 0, 2);
    grid->addWidget(ListIncShortcut, 1, 0, 4, 1);
    grid->addWidget(ListRemShortcut, 1, 2, 4, 1);
    grid->addWidget(CmdRemShortcut, 2, 1);
    grid->addWidget(CmdAddShortcut, 3, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    connect(CmdRemShortcut, &QPushButton::clicked, this, &ShortcutsTab::CmdRemShortcut_Click);
    connect(CmdAddShortcut, &QPushButton::clicked, this, &ShortcutsTab::CmdAddShortcut_Click);
}

void ShortcutsTab::FillShortcutLists(const OemInstall& settings) {
    ListIncShortcut->clear();
    ListRemShortcut->clear();
    for (const RemoveShortcutEntry& entry : settings.RemoveShortcuts)
        AddRow(entry.Remove ? ListRemShortcut : ListIncShortcut, ToQ(entry.Name));
}

void ShortcutsTab::CmdRemShortcut_Click() { MoveShortcut(ListIncShortcut, ListRemShortcut, true); }
void ShortcutsTab::CmdAddShortcut_Click() { MoveShortcut(ListRemShortcut, ListIncShortcut, false); }

void ShortcutsTab::MoveShortcut(QListWidget* source, QListWidget* target, bool remove) {
    OemInstall& settings = main_->EditSettings;
    settings = modTAVIN::GetOemInstall();
    if (source->count() > 0) {
        const int p = SelectedRow(source);
        if (p >= 0) {
            const QString text = source->item(p)->text();
            delete source->takeItem(p);
            AddRow(target, text);
            const std::string name = FromQ(text);
            for (RemoveShortcutEntry& entry : settings.RemoveShortcuts)
                if (entry.Name == name) entry.Remove = remove;
        }
        // The row that followed the moved one, else the last row.
        if (p >= 0 && p < source->count())
            source->setCurrentRow(p);
        else if (source->count() > 0)
            source->setCurrentRow(source->count() - 1);
    }
    if (target->count() == 1) target->setCurrentRow(0);
    modTAVIN::SetOemInstall(settings);
}
