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
// first line.
template <class List>
class PickList : public List {
  public:
    using List::List;

  protected:
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
