#pragma once

#include <QString>
#include <QStringListModel>
#include <functional>
#include <initializer_list>

class QAbstractItemModel;
class QLabel;
class QWidget;

// A caption as it is read aloud: the accelerator marks (&) taken out, a
// doubled one kept as a single ampersand.
QString PlainCaption(const QString& caption);

// label names control, for the keyboard (its accelerator moves the focus
// there) and for a screen reader (the control's accessible name is the
// label's caption), which does not take a list's or a slider's name from its
// buddy.
void NameByLabel(QLabel* label, QWidget* control);

// Screen readers read a window's children in their order among its children,
// not in their places on screen: this puts them in the order given, after
// any others.
void ReadInOrder(std::initializer_list<QWidget*> widgets);

// Gives every top-level window built on a bare QWidget the window role (they
// would otherwise be reported as fillers), and every drop-down its
// accessible name, where it has one (it would otherwise be named by its current
// entry). Call once, before the first window.
void InstallWindowRoles();

// A text that replaced another in widget reaches the screen reader as a change
// of the widget's name, and of the focused control's description, which
// readers speak for the control the user is on.
void AnnounceText(QWidget* widget, const QString& text);

// Lines shown as they are drawn and read aloud as spoken(row) says (an empty
// text reads the line as drawn). The spoken text is made only when a reader
// asks for it, so that long lists cost nothing more without one.
class SpokenLines : public QStringListModel {
  public:
    using Spoken = std::function<QString(int row)>;
    SpokenLines(Spoken spoken, QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    Spoken spoken_;
};
