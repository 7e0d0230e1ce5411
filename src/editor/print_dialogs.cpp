#include "print_dialogs.h"

#include <QDialog>
#include <utility>

namespace {
PrintDialogHandler& CurrentHandler() {
  static PrintDialogHandler handler;
  return handler;
}
} // namespace

int RunPrintDialog(QDialog& dialog) {
  if (const PrintDialogHandler& handler = CurrentHandler()) return handler(dialog);
  return dialog.exec();
}

PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler) {
  return std::exchange(CurrentHandler(), std::move(handler));
}
