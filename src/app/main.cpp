#include <QIcon>
#include <QLocale>
#include <clocale>

#include "app/AppWindows.h"
#include "app/CreateWindows.h"
#include "app/KavrilonApplication.h"
#include "app/Placement.h"
#include "app/QtPrompts.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TKavrilonForm.h"
#include "workspace/NumberFormat.h"
#include "workspace/Prompts.h"

namespace {

// A separator as one byte; one that has no single-byte form falls back.
char SingleByte(const QString& separator, char fallback) {
    if (separator.size() != 1 || separator.at(0).unicode() > 0xFF)
        return fallback;
    return static_cast<char>(separator.at(0).unicode());
}

void UseLocaleSeparators() {
    const QLocale locale;
    const char decimal = SingleByte(locale.decimalPoint(), '.');
    const char thousands = SingleByte(locale.groupSeparator(), decimal == ',' ? '.' : ',');
    kav::SetLocaleSeparators(thousands, decimal);
}

}  // namespace

int main(int argc, char* argv[]) {
    KavrilonApplication app(argc, argv);
    // Number texts are built with the C library and given the user's
    // separators afterwards, so its own numeric locale must stay "C".
    std::setlocale(LC_NUMERIC, "C");
    // The program's title. It is not set as the display name, which the
    // platform would append to every window caption.
    QApplication::setApplicationName(QStringLiteral("Kavrilon"));
    QApplication::setWindowIcon(QIcon(ProgramPicture(64)));
    UseLocaleSeparators();

    QtPrompts prompts;
    kav::InstallPrompts(&prompts);

    CreateWindows();
    auto* mainMenu = static_cast<TKavrilonForm*>(TheWindows().mainMenu);
    // Queued, so that the main window has finished closing when the loop ends.
    QObject::connect(
        mainMenu, &TKavrilonForm::ProgramEnds, &app, [] { QApplication::exit(0); },
        Qt::QueuedConnection);
    CentreOnScreen(mainMenu);
    CentreOnScreen(TheWindows().aboutBox);
    ShowMainMenu();
    // The splash shown while the windows were made stays in front of the menu.
    if (mainMenu->Splash()->isVisible())
        mainMenu->Splash()->raise();
    const int exitCode = QApplication::exec();
    DestroyWindows();
    kav::InstallPrompts(nullptr);
    return exitCode;
}
