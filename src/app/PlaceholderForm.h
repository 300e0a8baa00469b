#pragma once

#include <QWidget>

// A window not built yet: its caption, one line saying so, and a Quit button
// that hides it and brings the main menu back.
class PlaceholderForm : public QWidget {
    Q_OBJECT
public:
    PlaceholderForm(const QString& caption, QWidget* parent = nullptr);
};
