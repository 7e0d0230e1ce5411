#include "app_test_support.h"

#include <QFile>

namespace apptest {

bool WriteFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

QRect CellsRect(CCrystalTextView& view, int line, int first, int last) {
  const QPoint topLeft = view.TextPosToPoint(TextPosition(first, line));
  const int width = (last - first) * view.GetCharWidth();
  return QRect(topLeft.x(), topLeft.y(), width, view.GetLineHeight());
}

int CountColour(const QImage& image, const QRect& rect, const QColor& colour) {
  int count = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if (image.pixelColor(x, y).rgb() == colour.rgb()) ++count;
  return count;
}

} // namespace apptest
