#pragma once
class QPrinter;
class QWidget;

// The printer, paper size and orientation chosen with File > Print Setup. They hold for the
// rest of the session: every later Print, Print Direct, Print Preview and Page Setup starts
// from them. Until a choice is made, the system's default printer and paper are used.
void ApplyPrinterChoice(QPrinter& printer);

// Whether Print Setup named a printer (Print Direct then prints there, not on the default).
bool HasChosenPrinter();

// Shows the print dialog as the set-up of later prints (through RunPrintDialog); OK keeps the
// printer, paper size and orientation it shows. Returns whether it was accepted.
bool RunPrintSetup(QWidget* parent);
