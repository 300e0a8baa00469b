#include "app/ProgramPrinter.h"

#include <QPrinter>

namespace {
bool printerChosen = false;
}

QPrinter& ThePrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool PrinterWasChosen() {
    return printerChosen;
}
void MarkPrinterChosen() {
    printerChosen = true;
}
