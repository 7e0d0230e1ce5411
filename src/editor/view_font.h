#pragma once
#include <cstdint>
#include <string>

class QColor;
class QFont;

// The view's fonts and colours as the settings and the document keep them, apart from the
// view itself, so that a document or a printer can hold them without the whole view.

// Colours cross the view's virtual interface as COLORREF values 0x00BBGGRR, as in the style
// table; they become QColor only where they are painted.
using COLORREF = uint32_t;
inline constexpr COLORREF CLR_NONE_REF = 0xFFFFFFFFu; // "no colour: use the style colours"
inline constexpr COLORREF RgbRef(int r, int g, int b) {
  return static_cast<COLORREF>(r & 0xFF) | (static_cast<COLORREF>(g & 0xFF) << 8) |
         (static_cast<COLORREF>(b & 0xFF) << 16);
}
QColor ColorFromRef(COLORREF colour);
COLORREF RefFromColor(const QColor& colour);

// What the view's four fonts are made from: a face name, a height (0 = the face's default
// size, negative = character height in pixels, positive = cell height in pixels), a weight
// (400 normal, 700 bold) and the italic switch. The character set is kept for the settings
// store; every face is drawn with ISO 8859-1 text.
struct FontDescription {
  std::string faceName = "FixedSys";
  int height = 0;
  int weight = 400;
  bool italic = false;
  int charSet = 1;

  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// The Qt font a description stands for. "FixedSys" (and any face that does not resolve to a
// fixed-pitch font) becomes the system's fixed-pitch font; other names go through fontconfig
// ("Courier New" becomes Liberation Mono). bold and italic override the description's own.
QFont ResolveViewFont(const FontDescription& description, bool bold, bool italic);
