#include <QApplication>
#include <QLabel>

#include "app/AppWindows.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kavrilon"));
    QLabel mainMenu(QStringLiteral("KAVRILON Main Menu (windows not built yet)"));
    mainMenu.setWindowTitle(QStringLiteral("KAVRILON Main Menu"));
    mainMenu.resize(480, 200);
    TheWindows().mainMenu = &mainMenu;
    mainMenu.show();
    return QApplication::exec();
}
