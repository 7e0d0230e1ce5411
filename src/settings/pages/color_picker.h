#pragma once
#include <cstdint>
#include <functional>

#include <QColor>
#include <QPushButton>

// Colours as the settings store keeps them: 0x00BBGGRR.
QColor ColorFromColorRef(uint32_t colour);
uint32_t ColorRefFromColor(const QColor& colour);

// Asks the user for a colour, starting at initial; returns the colour chosen, or an invalid
// QColor when the user cancelled.
using ColorDialogFunction = std::function<QColor(const QColor& initial, QWidget* parent)>;

// Replaces the colour dialog (tests answer it); an empty function restores QColorDialog.
// Returns the function in force before.
ColorDialogFunction SetColorDialogFunction(ColorDialogFunction function);

// A button showing a colour swatch. A click opens the colour dialog on the button's colour;
// a colour chosen there becomes the button's colour and ColorChanged carries the button's
// control id. Cancelling leaves the colour as it was and still reports it, so the owner
// always hears about a click.
class CColorPicker : public QPushButton {
  Q_OBJECT

public:
  CColorPicker(int controlId, QWidget* parent = nullptr);

  void SetColor(uint32_t colour);
  uint32_t GetColor() const { return m_colour; }

signals:
  void ColorChanged(int controlId);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void OnClicked();

  int m_controlId;
  uint32_t m_colour = 0;
};
