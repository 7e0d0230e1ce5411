#include "page_setup.h"

#include <QGroupBox>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "message_box.h"
#include "print_dialogs.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

int ReadMargin(const CProfileStore& store, const IntSettingKey& key) {
  // The store keeps 32-bit values; a hand-edited negative margin would push text off the page.
  return std::max(0, static_cast<int32_t>(ReadSetting(store, key)));
}

double ToMm(int hundredths) { return hundredths / 100.0; }
int ToHundredths(double mm) { return static_cast<int>(std::lround(mm * 100.0)); }

// Only the margins are the user's to change here; paper and orientation belong to the
// printer set-up.
void DisableAllButMargins(QPageSetupDialog& dialog) {
  static const char* const OTHER_GROUPS[] = {"groupBox_2", "groupBox_3",
                                             "pagesPerSheetButtonGroup"};
  for (const char* name : OTHER_GROUPS) {
    if (auto* group = dialog.findChild<QGroupBox*>(QLatin1String(name))) group->setEnabled(false);
  }
}

} // namespace

PrintMargins ReadPrintMargins(const CProfileStore& store) {
  return {ReadMargin(store, SETTING_LEFT_MARGIN), ReadMargin(store, SETTING_RIGHT_MARGIN),
          ReadMargin(store, SETTING_TOP_MARGIN), ReadMargin(store, SETTING_BOTTOM_MARGIN)};
}

bool RunPageSetup(CProfileStore& store, QWidget* parent) {
  const PrintMargins stored = ReadPrintMargins(store);
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  printer.setPageMargins(QMarginsF(ToMm(stored.left), ToMm(stored.top), ToMm(stored.right),
                                   ToMm(stored.bottom)),
                         QPageLayout::Millimeter);
  QPageSetupDialog dialog(&printer, parent);
  DisableAllButMargins(dialog);
  if (RunPrintDialog(dialog) != QDialog::Accepted) return false;

  const QMarginsF mm = printer.pageLayout().margins(QPageLayout::Millimeter);
  const bool written = WriteSetting(store, SETTING_LEFT_MARGIN, ToHundredths(mm.left())) &&
                       WriteSetting(store, SETTING_RIGHT_MARGIN, ToHundredths(mm.right())) &&
                       WriteSetting(store, SETTING_TOP_MARGIN, ToHundredths(mm.top())) &&
                       WriteSetting(store, SETTING_BOTTOM_MARGIN, ToHundredths(mm.bottom()));
  if (!written)
    TorvaneMessageBox(QStringLiteral("The page margins could not be saved to %1.")
                          .arg(store.FileName()),
                      MB_OK | MB_ICONEXCLAMATION);
  return true;
}
