// Draws the image strips of the three object-bar trees, four 16 x 16 images each on pure
// green RGB(0,255,0), the colour the trees make transparent:
//   tree_objects_137.png    document, closed box, open box, blank
//   tree_classes_141.png    document, class symbol, closed box, open box
//   tree_functions_142.png  document, gear, gear (lit, for a selected item), blank
// and each strip again at 32 x 32 (tree_objects_137@2x.png ...) for screens of two device
// pixels per pixel, the same drawings at twice the scale.
// Each picture is drawn with antialiasing on a transparent image and then put on the green
// ground with its alpha cut at one half, so that no edge pixel is a blend with the green.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr int kSize = 16;
constexpr QRgb kGreen = 0xFF00FF00;

using Drawing = std::function<void(QPainter&)>;

// A page with a folded corner and three lines of text.
void DrawDocument(QPainter& p) {
  QPainterPath page;
  page.moveTo(2.5, 0.5);
  page.lineTo(9.5, 0.5);
  page.lineTo(13.5, 4.5);
  page.lineTo(13.5, 15.5);
  page.lineTo(2.5, 15.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(60, 60, 70), 1.0));
  p.setBrush(QColor(250, 250, 246));
  p.drawPath(page);
  p.setBrush(QColor(205, 205, 215));
  p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(9.5, 4.5), QPointF(13.5, 4.5)}));
  p.setPen(QPen(QColor(70, 90, 160), 1.0));
  for (int y : {7, 10, 13}) p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
}

// A closed carton seen from the front and above.
void DrawClosedBox(QPainter& p) {
  p.setPen(QPen(QColor(90, 55, 20), 1.0));
  p.setBrush(QColor(205, 150, 80));
  p.drawPolygon(QPolygonF({QPointF(1.5, 5.5), QPointF(5.5, 2.5), QPointF(14.5, 2.5),
                           QPointF(10.5, 5.5)}));
  p.setBrush(QColor(185, 125, 60));
  p.drawRect(QRectF(1.5, 5.5, 9, 9));
  p.setBrush(QColor(150, 100, 45));
  p.drawPolygon(QPolygonF({QPointF(10.5, 5.5), QPointF(14.5, 2.5), QPointF(14.5, 11.5),
                           QPointF(10.5, 14.5)}));
  p.setPen(QPen(QColor(235, 215, 150), 1.0));
  p.drawLine(QPointF(6, 5.5), QPointF(10, 2.5));
}

// The same carton with its flaps open and its dark inside showing.
void DrawOpenBox(QPainter& p) {
  p.setPen(QPen(QColor(90, 55, 20), 1.0));
  p.setBrush(QColor(215, 165, 95));
  p.drawPolygon(QPolygonF({QPointF(1.5, 7.5), QPointF(0.5, 2.5), QPointF(4.5, 4.5)}));
  p.drawPolygon(QPolygonF({QPointF(10.5, 7.5), QPointF(15.5, 1.5), QPointF(14.5, 5.5)}));
  p.setBrush(QColor(70, 40, 15));
  p.drawPolygon(QPolygonF({QPointF(1.5, 7.5), QPointF(4.5, 4.5), QPointF(14.5, 4.5),
                           QPointF(10.5, 7.5)}));
  p.setBrush(QColor(185, 125, 60));
  p.drawRect(QRectF(1.5, 7.5, 9, 7));
  p.setBrush(QColor(150, 100, 45));
  p.drawPolygon(QPolygonF({QPointF(10.5, 7.5), QPointF(14.5, 4.5), QPointF(14.5, 11.5),
                           QPointF(10.5, 14.5)}));
}

// A class: a box at the top whose two branches lead down to two smaller boxes.
void DrawClassSymbol(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.0));
  p.drawLine(QPointF(7.5, 6), QPointF(7.5, 9.5));
  p.drawLine(QPointF(3.5, 9.5), QPointF(11.5, 9.5));
  p.drawLine(QPointF(3.5, 9.5), QPointF(3.5, 11));
  p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 11));
  p.setPen(QPen(QColor(20, 50, 120), 1.0));
  p.setBrush(QColor(70, 120, 220));
  p.drawRect(QRectF(3.5, 0.5, 8, 6));
  p.setPen(QPen(QColor(20, 90, 40), 1.0));
  p.setBrush(QColor(90, 190, 110));
  p.drawRect(QRectF(0.5, 11.5, 5, 4));
  p.drawRect(QRectF(9.5, 11.5, 5, 4));
}

// A cog wheel of eight teeth with a hole in its middle.
void DrawGear(QPainter& p, QColor body, QColor rim) {
  QPainterPath gear;
  const double cx = 8, cy = 8;
  constexpr int kTeeth = 8;
  for (int i = 0; i < kTeeth * 4; ++i) {
    const double angle = (i - 0.5) * M_PI / (kTeeth * 2);
    const double radius = (i % 4 == 0 || i % 4 == 1) ? 7.5 : 5.5;
    const QPointF point(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    if (i == 0)
      gear.moveTo(point);
    else
      gear.lineTo(point);
  }
  gear.closeSubpath();
  gear.addEllipse(QPointF(cx, cy), 2.2, 2.2);
  gear.setFillRule(Qt::OddEvenFill);
  p.setPen(QPen(rim, 1.0));
  p.setBrush(body);
  p.drawPath(gear);
}

void DrawStrip(const std::string& path, const Drawing (&drawings)[4], int scale) {
  QImage art(kSize * scale * 4, kSize * scale, QImage::Format_ARGB32);
  art.fill(Qt::transparent);
  for (int i = 0; i < 4; ++i) {
    if (!drawings[i]) continue;
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(i * kSize * scale, 0);
    if (scale != 1) p.scale(scale, scale);
    p.setClipRect(0, 0, kSize, kSize);
    drawings[i](p);
  }
  QImage strip(art.size(), QImage::Format_RGB32);
  for (int y = 0; y < art.height(); ++y)
    for (int x = 0; x < art.width(); ++x) {
      const QRgb px = art.pixel(x, y);
      QRgb out = qAlpha(px) < 128 ? kGreen : qRgb(qRed(px), qGreen(px), qBlue(px));
      // A drawn pixel never takes the transparent colour itself.
      if (qAlpha(px) >= 128 && (out & 0xFFFFFF) == (kGreen & 0xFFFFFF)) out = qRgb(0, 254, 0);
      strip.setPixel(x, y, out);
    }
  if (!strip.save(QString::fromStdString(path), "PNG")) {
    std::fprintf(stderr, "make_tree_icons: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_tree_icons OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Drawing gear = [](QPainter& p) { DrawGear(p, QColor(150, 155, 165), QColor(60, 60, 70)); };
  const Drawing litGear = [](QPainter& p) { DrawGear(p, QColor(240, 170, 40), QColor(120, 70, 0)); };
  const Drawing objects[4] = {DrawDocument, DrawClosedBox, DrawOpenBox, nullptr};
  const Drawing classes[4] = {DrawDocument, DrawClassSymbol, DrawClosedBox, DrawOpenBox};
  const Drawing functions[4] = {DrawDocument, gear, litGear, nullptr};
  for (int scale : {1, 2}) {
    const std::string suffix = scale == 1 ? ".png" : "@2x.png";
    DrawStrip(folder + "/tree_objects_137" + suffix, objects, scale);
    DrawStrip(folder + "/tree_classes_141" + suffix, classes, scale);
    DrawStrip(folder + "/tree_functions_142" + suffix, functions, scale);
  }
  return 0;
}
