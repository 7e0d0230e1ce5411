#include "page_setup.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "message_box.h"
#include "print_dialogs.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

constexpr IntSettingKey SETTING_PRINT_FONT_SIZE{SECTION_PAGE_SETUP, "PrintFontSize", 0};
constexpr IntSettingKey SETTING_PRINT_HALF_SIZE{SECTION_PAGE_SETUP, "PrintHalfSize", 0};
constexpr int MAX_FONT_TENTHS = 720; // 72 pt: larger would leave a page a few words

int ReadClamped(const CProfileStore& store, const IntSettingKey& key, int highest) {
  // The store keeps 32-bit values; a hand-edited negative margin would push text off the page.
  return std::clamp(static_cast<int>(static_cast<int32_t>(ReadSetting(store, key))), 0, highest);
}

double ToMm(int hundredths) { return hundredths / 100.0; }
int ToHundredths(double mm) { return static_cast<int>(std::lround(mm * 100.0)); }

// Only the margins and the font are the user's to change here; paper and orientation belong
// to the printer set-up.
void DisableAllButMargins(QPageSetupDialog& dialog) {
  static const char* const OTHER_GROUPS[] = {"groupBox_2", "groupBox_3",
                                             "pagesPerSheetButtonGroup"};
  for (const char* name : OTHER_GROUPS) {
    if (auto* group = dialog.findChild<QGroupBox*>(QLatin1String(name))) group->setEnabled(false);
  }
}

// The printed font's controls, added above the dialog's buttons.
struct FontControls {
  QDoubleSpinBox* size = nullptr;
  QCheckBox* halfSize = nullptr;
};

FontControls AddFontControls(QPageSetupDialog& dialog, PrintFontSize preset, int screenTenths) {
  auto* box = qobject_cast<QBoxLayout*>(dialog.layout());
  if (!box) return {}; // not the dialog we know: margins only
  auto* group = new QGroupBox(QStringLiteral("Printed font"), &dialog);
  auto* form = new QFormLayout(group);
  FontControls controls{new QDoubleSpinBox(group), new QCheckBox(group)};
  controls.size->setObjectName(QStringLiteral("printFontSize"));
  controls.size->setRange(0, MAX_FONT_TENTHS / 10.0);
  controls.size->setDecimals(1);
  controls.size->setSingleStep(0.5);
  controls.size->setSuffix(QStringLiteral(" pt"));
  controls.size->setSpecialValueText(
      QStringLiteral("Screen size (%1 pt)").arg(screenTenths / 10.0, 0, 'f', 1));
  controls.size->setValue(preset.tenthsOfPoint / 10.0);
  controls.halfSize->setObjectName(QStringLiteral("printHalfSize"));
  controls.halfSize->setText(QStringLiteral("Half the screen size (a denser listing)"));
  controls.halfSize->setChecked(preset.halfSize);
  controls.size->setEnabled(!preset.halfSize);
  QObject::connect(controls.halfSize, &QCheckBox::toggled, controls.size,
                   [size = controls.size](bool half) { size->setEnabled(!half); });
  form->addRow(QStringLiteral("Size:"), controls.size);
  form->addRow(controls.halfSize);
  box->insertWidget(std::max(0, box->count() - 1), group);
  return controls;
}

bool StorePageSetup(CProfileStore& store, const PageSetup& setup) {
  const PrintMargins& m = setup.margins;
  return WriteSetting(store, SETTING_LEFT_MARGIN, m.left) &&
         WriteSetting(store, SETTING_RIGHT_MARGIN, m.right) &&
         WriteSetting(store, SETTING_TOP_MARGIN, m.top) &&
         WriteSetting(store, SETTING_BOTTOM_MARGIN, m.bottom) &&
         WriteSetting(store, SETTING_PRINT_FONT_SIZE, setup.fontSize.tenthsOfPoint) &&
         WriteSetting(store, SETTING_PRINT_HALF_SIZE, setup.fontSize.halfSize ? 1 : 0);
}

} // namespace

PageSetup ReadPageSetup(const CProfileStore& store) {
  PageSetup setup;
  setup.margins = {ReadClamped(store, SETTING_LEFT_MARGIN, INT32_MAX),
                   ReadClamped(store, SETTING_RIGHT_MARGIN, INT32_MAX),
                   ReadClamped(store, SETTING_TOP_MARGIN, INT32_MAX),
                   ReadClamped(store, SETTING_BOTTOM_MARGIN, INT32_MAX)};
  setup.fontSize = {ReadClamped(store, SETTING_PRINT_FONT_SIZE, MAX_FONT_TENTHS),
                    ReadSetting(store, SETTING_PRINT_HALF_SIZE) != 0};
  return setup;
}

bool RunPageSetup(CProfileStore& store, QWidget* parent, int screenTenthsOfPoint) {
  PageSetup setup = ReadPageSetup(store);
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  // A stored margin wider than the paper is shown as the paper's width.
  const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
  const PrintMargins shown = ClampMargins(setup.margins, ToHundredths(paper.width()),
                                          ToHundredths(paper.height()));
  printer.setPageMargins(QMarginsF(ToMm(shown.left), ToMm(shown.top), ToMm(shown.right),
                                   ToMm(shown.bottom)),
                         QPageLayout::Millimeter);
  QPageSetupDialog dialog(&printer, parent);
  DisableAllButMargins(dialog);
  const FontControls font = AddFontControls(dialog, setup.fontSize, screenTenthsOfPoint);
  if (RunPrintDialog(dialog) != QDialog::Accepted) return false;

  const QMarginsF mm = printer.pageLayout().margins(QPageLayout::Millimeter);
  setup.margins = {ToHundredths(mm.left()), ToHundredths(mm.right()), ToHundredths(mm.top()),
                   ToHundredths(mm.bottom())};
  if (font.size)
    setup.fontSize = {static_cast<int>(std::lround(font.size->value() * 10)),
                      font.halfSize->isChecked()};
  if (!StorePageSetup(store, setup))
    TorvaneMessageBox(QStringLiteral("The page margins could not be saved to %1.")
                          .arg(store.FileName()),
                      MB_OK | MB_ICONEXCLAMATION);
  return true;
}

void UsePageSetupInPreview(QPrintPreviewDialog& preview, int screenTenthsOfPoint) {
  for (QAction* action : preview.findChildren<QAction*>()) {
    if (action->text() != QLatin1String("Page setup")) continue;
    QObject::disconnect(action, nullptr, &preview, nullptr);
    QObject::connect(action, &QAction::triggered, &preview, [&preview, screenTenthsOfPoint] {
      CProfileStore store;
      if (!RunPageSetup(store, &preview, screenTenthsOfPoint)) return;
      if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) pages->updatePreview();
    });
  }
}
