#include "color_picker.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyle>

#include "control_id.h"

namespace {

ColorDialogFunction& ColorDialog() {
  static ColorDialogFunction function;
  return function;
}

QColor AskColor(const QColor& initial, QWidget* parent) {
  if (ColorDialog()) return ColorDialog()(initial, parent);
  return QColorDialog::getColor(initial, parent);
}

} // namespace

QColor ColorFromColorRef(uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

uint32_t ColorRefFromColor(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
         (static_cast<uint32_t>(colour.blue()) << 16);
}

ColorDialogFunction SetColorDialogFunction(ColorDialogFunction function) {
  ColorDialogFunction before = std::move(ColorDialog());
  ColorDialog() = std::move(function);
  return before;
}

CColorPicker::CColorPicker(int controlId, QWidget* parent)
    : QPushButton(parent), m_controlId(controlId) {
  SetControlId(this, controlId);
  setMinimumSize(48, 24);
  connect(this, &QPushButton::clicked, this, &CColorPicker::OnClicked);
}

void CColorPicker::SetColor(uint32_t colour) {
  // Only the colour bytes count; a stored value may carry a top byte.
  m_colour = colour & 0xFFFFFF;
  update();
}

void CColorPicker::OnClicked() {
  const QColor chosen = AskColor(ColorFromColorRef(m_colour), this);
  if (chosen.isValid()) SetColor(ColorRefFromColor(chosen));
  emit ColorChanged(m_controlId);
}

void CColorPicker::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin) / 2 + 3;
  const QRect swatch = rect().adjusted(margin, margin, -margin, -margin);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.setBrush(ColorFromColorRef(m_colour));
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
