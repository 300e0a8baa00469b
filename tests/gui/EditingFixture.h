#pragma once

// Shared set-up of the editing windows' tests: fresh windows wired as program
// start wires them, a stand-in main menu, scripted prompts and an empty Workspace.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/CreateWindows.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "gui/AnchorWindow.h"
#include "solver/Session.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "support/WaitInFront.h"
#include "workspace/Workspace.h"

struct EditingWindows {
    ScriptedPrompts prompts;
    kav::Session session{prompts};
    QWidget mainMenu;
    TFMAddStuff chooser{session};
    TFXNodeAddForm nodes{session};
    TFMLinkAddForm links{session};
    TFMChangeForm change{session};
    std::vector<bool> problemButtons;  // what each close of the chooser set them to

    EditingWindows() {
        SetAnchorWindow(&mainMenu);
        ConnectAddWindows(&chooser, &nodes, &links);
        QObject::connect(&chooser, &TFMAddStuff::closed, &mainMenu, [this](bool problemComplete) {
            problemButtons.push_back(problemComplete);
            mainMenu.show();
        });
        QObject::connect(&change, &TFMChangeForm::closed, &mainMenu, &QWidget::show);
    }
    ~EditingWindows() { SetAnchorWindow(nullptr); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& shown : prompts.messages)
            texts.push_back(shown.text);
        return texts;
    }
};

template <class T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

inline bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return WaitInFront(window);
}

inline QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

inline QStringList Lines(const QComboBox* box) {
    QStringList lines;
    for (int i = 0; i < box->count(); ++i)
        lines << box->itemText(i);
    return lines;
}

// Presses Alt with key in window. A button pressed by its accelerator clicks
// only when its short press animation ends, so this waits for that.
inline bool PressAlt(QWidget* window, Qt::Key key) {
    QCoreApplication::processEvents();
    QTest::keyClick(window, key, Qt::AltModifier);
    return QTest::qWaitFor([&] {
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->isDown())
                return false;
        }
        return true;
    });
}

// Clicks into a field, replaces its text by typing, and leaves it with Tab.
inline void TypeAndLeave(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Backspace);
    } else {
        QTest::keyClicks(field, text);
    }
    QTest::keyClick(field, Qt::Key_Tab);
}

// Picks a line of a list with the mouse.
inline void ClickLine(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (!item)
        qFatal("no line %d", row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

inline void AddNodes(kav::Workspace& ws, std::initializer_list<const char*> names) {
    for (const char* name : names)
        kav::AppendNode(ws, name);
}

inline void AddLinks(kav::Workspace& ws,
                     std::initializer_list<std::array<int32_t, 6>> links) {  // o d lo up cost flow
    for (const auto& l : links) {
        SetFlow(ws, kav::AppendLink(ws, {l[0], l[1], l[2], l[3], l[4]}), l[5]);
    }
}
