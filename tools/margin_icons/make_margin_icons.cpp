// Draws the strip of 14 margin icons (16 x 16 each) the editor views show beside marked
// lines: 0 highlight-1 mark, 1 highlight-2 mark, 2 margin mark, 3-11 bookmarks 1-9,
// 12 bookmark 0, 13 the unnumbered bookmark. Transparent where nothing is drawn; no pure
// white pixel is used inside an icon, so a white colour key gives the same picture.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSize = 16;
constexpr int kCount = 14;

// 5 x 7 digits, one row per byte, bit 4 = leftmost pixel.
constexpr unsigned char kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
};

// A round lamp with a darker rim and a small light spot: the highlight marks.
void DrawLamp(QPainter& p, int left, QColor fill, QColor rim) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(rim, 1.0));
  p.setBrush(fill);
  p.drawEllipse(QRectF(left + 2.5, 2.5, 11, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 250, 240, 200));
  p.drawEllipse(QRectF(left + 5, 5, 3.5, 3.5));
  p.setRenderHint(QPainter::Antialiasing, false);
}

// A right-pointing arrow: the plain margin mark.
void DrawArrow(QPainter& p, int left) {
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath path;
  path.moveTo(left + 2, 5);
  path.lineTo(left + 8, 5);
  path.lineTo(left + 8, 2);
  path.lineTo(left + 14, 8);
  path.lineTo(left + 8, 14);
  path.lineTo(left + 8, 11);
  path.lineTo(left + 2, 11);
  path.closeSubpath();
  p.setPen(QPen(QColor(20, 40, 110), 1.0));
  p.setBrush(QColor(70, 110, 220));
  p.drawPath(path);
  p.setRenderHint(QPainter::Antialiasing, false);
}

// A bookmark tag: a yellow card with a notch at the bottom.
void DrawTag(QPainter& p, int left) {
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath path;
  path.moveTo(left + 3, 1.5);
  path.lineTo(left + 13, 1.5);
  path.lineTo(left + 13, 14.5);
  path.lineTo(left + 8, 11.5);
  path.lineTo(left + 3, 14.5);
  path.closeSubpath();
  p.setPen(QPen(QColor(120, 90, 0), 1.0));
  p.setBrush(QColor(255, 214, 60));
  p.drawPath(path);
  p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawDigit(QImage& image, int left, int digit, int scale) {
  const QRgb ink = qRgba(40, 30, 0, 255);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 5; ++col)
      if (kDigits[digit][row] & (0x10 >> col))
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx)
            image.setPixel((left + 6 + col) * scale + dx, (2 + row) * scale + dy, ink);
}

// A flag on a pole: the unnumbered bookmark.
void DrawFlag(QPainter& p, int left) {
  p.setPen(QPen(QColor(60, 60, 60), 1.0));
  p.drawLine(left + 3, 1, left + 3, 14);
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath path;
  path.moveTo(left + 4, 1.5);
  path.lineTo(left + 13.5, 4.5);
  path.lineTo(left + 4, 8.5);
  path.closeSubpath();
  p.setPen(QPen(QColor(0, 70, 140), 1.0));
  p.setBrush(QColor(40, 140, 230));
  p.drawPath(path);
  p.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const int scale = argc == 3 ? std::atoi(argv[2]) : 1;
  if ((argc != 2 && argc != 3) || scale < 1 || scale > 4) {
    std::fprintf(stderr, "usage: make_margin_icons OUTPUT.png [SCALE]\n");
    return 2;
  }
  QImage image(kSize * kCount * scale, kSize * scale, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.scale(scale, scale);
    DrawLamp(p, 0 * kSize, QColor(0, 160, 0), QColor(0, 80, 0));
    DrawLamp(p, 1 * kSize, QColor(230, 20, 20), QColor(120, 0, 0));
    DrawArrow(p, 2 * kSize);
    for (int i = 3; i <= 12; ++i) DrawTag(p, i * kSize);
    DrawFlag(p, 13 * kSize);
  }
  for (int i = 3; i <= 11; ++i) DrawDigit(image, i * kSize, i - 2, scale);
  DrawDigit(image, 12 * kSize, 0, scale);
  // Keep every drawn pixel off pure white so that a white key never punches holes.
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb px = image.pixel(x, y);
      if (qAlpha(px) != 0 && qRed(px) == 255 && qGreen(px) == 255 && qBlue(px) == 255)
        image.setPixel(x, y, qRgba(254, 254, 254, qAlpha(px)));
    }
  if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "make_margin_icons: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
