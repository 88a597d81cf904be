#pragma once
// An item view on which the user cannot take the selection away once a row is selected: a
// click beside the rows, Ctrl+click or Ctrl+Space on the selected row would otherwise leave
// none, and the commands that act on the selected row would then act on another one or do
// nothing while the view still shows the old one's data.
#include <QAbstractItemView>
#include <QItemSelectionModel>

template <class View>
class KeepsSelection : public View {
public:
    using View::View;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const QItemSelectionModel::SelectionFlags flags = View::selectionCommand(index, event);
        if (!index.isValid()) return QItemSelectionModel::NoUpdate;
        if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return QItemSelectionModel::NoUpdate;
        return flags;
    }
};
