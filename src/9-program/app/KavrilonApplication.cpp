#include "app/KavrilonApplication.h"

#include <cstdio>
#include <exception>
#include <string>

#include "workspace/Prompts.h"

namespace {

// One report at a time: while its box is up, the handler that failed may run
// again (a paint under the box) and fail the same way.
void ReportOnce(kav::Prompts* prompts, const std::string& text) {
    static bool reporting = false;
    if (reporting)
        return;
    reporting = true;
    try {
        if (prompts)
            kav::ShowStandardErrorReport(*prompts, text);
        else
            std::fprintf(stderr, "%s\n", text.c_str());
    } catch (...) {
    }
    reporting = false;
}

}  // namespace

KavrilonApplication::KavrilonApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The program ends only when the user confirms the main window's close
    // (see main), never because the last visible window closed: a box closed
    // while the main menu is hidden is not the end of the session.
    setQuitOnLastWindowClosed(false);
}

bool KavrilonApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportOnce(errorPrompts_, error.what());
    } catch (...) {
        ReportOnce(errorPrompts_, "Unknown error");
    }
    return false;
}
