// The text view: its print, print-preview and page-setup commands. The printing itself is
// CTextPrinter's.
#include <QFontInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "message_box.h"
#include "page_setup.h"
#include "print_dialogs.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "text_printer.h"
#include "text_view.h"

namespace {

// The printer of view's text as it stands, with Page Setup's values as they are stored now.
void SetUpPrinter(CTextPrinter& printer, CTextView& view) {
  printer.SetScreenFont(ResolveViewFont(view.GetViewFont(), false, false), view.logicalDpiY());
  printer.SetPageSetup(ReadPageSetup(CProfileStore()));
  printer.SetFooterFormat(
      [&view](int page, int pageCount) { return view.FormatFooterText(page, pageCount); });
}

// The screen font's size, which Page Setup offers as the printed size.
int ScreenTenthsOfPoint(CTextView& view) {
  const int pixels = QFontInfo(ResolveViewFont(view.GetViewFont(), false, false)).pixelSize();
  return (pixels * 720 + view.logicalDpiY() / 2) / std::max(1, view.logicalDpiY());
}

} // namespace

bool CTextView::PrintTo(QPrinter& printer, QString* error) {
  CTextPrinter textPrinter(GetBuffer());
  SetUpPrinter(textPrinter, *this);
  return textPrinter.Print(printer, error);
}

void CTextView::OnFilePageSetup() {
  CProfileStore store;
  RunPageSetup(store, this, ScreenTenthsOfPoint(*this));
}

void CTextView::OnFilePrint(bool direct) {
  if (direct && !HasChosenPrinter() && QPrinterInfo::defaultPrinter().isNull()) {
    TorvaneMessageBox(QStringLiteral("No default printer is set up. Use Print to choose a "
                                     "printer or to print to a file."),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  if (!direct) {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, 0xFFFF);
    if (RunPrintDialog(dialog) != QDialog::Accepted) return;
  }
  QString error;
  if (!PrintTo(printer, &error)) TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

void CTextView::OnFilePrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  // Margins that leave no room are said at once, not shown as an empty preview.
  QString error;
  {
    CTextPrinter check(GetBuffer());
    SetUpPrinter(check, *this);
    error = check.Paginate(printer);
  }
  if (!error.isEmpty()) {
    TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QPrintPreviewDialog dialog(&printer, this);
  UsePageSetupInPreview(dialog, ScreenTenthsOfPoint(*this));
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, &error](QPrinter* target) {
    if (error.isEmpty()) PrintTo(*target, &error);
  });
  RunPrintDialog(dialog);
  if (!error.isEmpty()) TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}
