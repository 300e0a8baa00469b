#include "app/KavrilonApplication.h"

#include <exception>

#include "workspace/Prompts.h"

KavrilonApplication::KavrilonApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KavrilonApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        kav::ShowStandardErrorReport(error.what());
    } catch (...) {
        kav::ShowStandardErrorReport("Unknown error");
    }
    return false;
}
