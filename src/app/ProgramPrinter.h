#pragma once

class QPrinter;

// The one printer of the program: chosen in Printer Setup, printed on by the
// results window. Held for the run only.
QPrinter& ThePrinter();

// Whether Printer Setup has been confirmed at least once in this run.
bool PrinterWasChosen();
void MarkPrinterChosen();
