#pragma once

#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QListView>
#include <QListWidget>

// A single-selection list (List is QListWidget or QListView) whose current
// line is always the selected one, so that what looks chosen is chosen. The
// platform's list makes its first line current when it gets the focus, and
// draws a current line as if chosen while nothing is selected: a command would
// then report that no line is chosen, and Down would choose the second line.
// Here getting the focus chooses and marks nothing; Down or Up then choose the
// first line, Home the first and End the last (the platform's list would choose
// the first line for any key while none is current).
template <class List>
class PickList : public List {
  public:
    using List::List;

  protected:
    QModelIndex moveCursor(QAbstractItemView::CursorAction action,
                           Qt::KeyboardModifiers modifiers) override {
        QAbstractItemModel* lines = this->model();
        if (lines && !this->currentIndex().isValid() && action == QAbstractItemView::MoveEnd) {
            const int count = lines->rowCount(this->rootIndex());
            if (count > 0)
                return lines->index(count - 1, 0, this->rootIndex());
        }
        return List::moveCursor(action, modifiers);
    }

    void focusInEvent(QFocusEvent* event) override {
        List::focusInEvent(event);
        DropUnselectedCurrent();
    }

    // A line deselected (Ctrl with a click) stops being current too.
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override {
        List::selectionChanged(selected, deselected);
        DropUnselectedCurrent();
    }

  private:
    void DropUnselectedCurrent() {
        QItemSelectionModel* selection = this->selectionModel();
        if (selection && selection->currentIndex().isValid() && !selection->hasSelection())
            selection->clearCurrentIndex();
    }
};
