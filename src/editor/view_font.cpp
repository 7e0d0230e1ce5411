// Colours and fonts of the view as the settings keep them, made into Qt values.
#include "view_font.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <cctype>
#include <cstdlib>

QColor ColorFromRef(COLORREF colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

COLORREF RefFromColor(const QColor& colour) {
  return RgbRef(colour.red(), colour.green(), colour.blue());
}

namespace {
bool SameFaceName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}
} // namespace

QFont ResolveViewFont(const FontDescription& description, bool bold, bool italic) {
  const QFont systemFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QFont font = systemFixed;
  if (!description.faceName.empty() && !SameFaceName(description.faceName, "FixedSys")) {
    QFont named(QString::fromLatin1(description.faceName.c_str()));
    named.setStyleHint(QFont::TypeWriter);
    named.setFixedPitch(true);
    // A face that fontconfig cannot give as fixed pitch would break the cell grid.
    if (QFontInfo(named).fixedPitch()) {
      font = named;
      if (systemFixed.pixelSize() > 0)
        font.setPixelSize(systemFixed.pixelSize());
      else
        font.setPointSizeF(systemFixed.pointSizeF());
    }
  }
  if (description.height != 0) font.setPixelSize(std::abs(description.height));
  font.setBold(bold);
  font.setItalic(italic);
  font.setKerning(false);
  return font;
}
