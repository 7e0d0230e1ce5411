#pragma once
#include <functional>

class QDialog;

// Every print, print-preview and page-setup dialog of the editor is run through
// RunPrintDialog, so that a test can fill one in and answer it (or a script can refuse it)
// instead of a user.
using PrintDialogHandler = std::function<int(QDialog& dialog)>;

// Runs dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
int RunPrintDialog(QDialog& dialog);

// Replaces what RunPrintDialog does; an empty handler restores dialog.exec(). Returns the
// handler in force before.
PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler);
