#include "printer_choice.h"

#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "print_dialogs.h"

namespace {

struct PrinterChoice {
  bool made = false;
  QString printerName; // empty: the default printer
  QPageSize pageSize;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

PrinterChoice& Choice() {
  static PrinterChoice choice;
  return choice;
}

} // namespace

void ApplyPrinterChoice(QPrinter& printer) {
  const PrinterChoice& choice = Choice();
  if (!choice.made) return;
  // The printer first: naming one resets the page to that printer's default.
  if (!choice.printerName.isEmpty()) printer.setPrinterName(choice.printerName);
  printer.setPageSize(choice.pageSize);
  printer.setPageOrientation(choice.orientation);
}

bool HasChosenPrinter() { return Choice().made && !Choice().printerName.isEmpty(); }

bool RunPrintSetup(QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  // Only the printer and its paper are chosen here; what to print is asked at Print.
  dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  // Nothing is printed from here: the button that keeps the choice must not say "Print".
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
  if (RunPrintDialog(dialog) != QDialog::Accepted) return false;
  PrinterChoice& choice = Choice();
  choice.made = true;
  // A file chosen as the printer is not a printer to keep: later prints ask again.
  choice.printerName =
      printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
  choice.pageSize = printer.pageLayout().pageSize();
  choice.orientation = printer.pageLayout().orientation();
  return true;
}
