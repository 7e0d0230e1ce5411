// Draws Torvane's own pictures into a folder:
//   toolbar_128.png  the toolbar's 16 buttons, 16 x 15 each, side by side in toolbar order
//                    (separators skipped): New, Open, Save, Cut, Copy, Paste, Undo, Redo,
//                    Find, Find Next, Replace, Compile, Run, Rebuild Object Tree, About,
//                    context help.
//   toolbar_128@2x.png  the same buttons drawn at 32 x 30 for screens of two device pixels
//                    per pixel: the drawings at twice the scale, not the small strip blown up.
//   torvane_<n>.png  the application icon, a weather vane on a dark tile, n = 16 ... 256.
//   about_138.png    the About box picture: the application icon at 96 x 96;
//                    about_138@2x.png the same at 192 x 192.
// Transparent wherever nothing is drawn.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kTextLine(150, 150, 160);
const QColor kBlue(30, 90, 200);

void Antialiased(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, true); }

void Page(QPainter& p, QRectF r, bool lines) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(r);
  if (!lines) return;
  p.setPen(QPen(kTextLine, 1));
  for (qreal y = r.top() + 2; y < r.bottom() - 1; y += 2)
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void DrawNew(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(3.5, 0.5);
  sheet.lineTo(9.5, 0.5);
  sheet.lineTo(12.5, 3.5);
  sheet.lineTo(12.5, 14.5);
  sheet.lineTo(3.5, 14.5);
  sheet.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawPath(sheet);
  QPainterPath fold;
  fold.moveTo(9.5, 0.5);
  fold.lineTo(9.5, 3.5);
  fold.lineTo(12.5, 3.5);
  fold.closeSubpath();
  p.setBrush(QColor(205, 205, 205));
  p.drawPath(fold);
  // A spark for "new".
  p.setPen(QPen(QColor(235, 170, 0), 1));
  p.drawLine(QPointF(2, 9), QPointF(2, 13));
  p.drawLine(QPointF(0, 11), QPointF(4, 11));
}

void DrawOpen(QPainter& p) {
  p.setPen(QPen(QColor(140, 100, 20), 1));
  p.setBrush(QColor(220, 175, 50));
  QPainterPath back;
  back.moveTo(0.5, 2.5);
  back.lineTo(5.5, 2.5);
  back.lineTo(6.5, 4.5);
  back.lineTo(12.5, 4.5);
  back.lineTo(12.5, 13.5);
  back.lineTo(0.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  Antialiased(p);
  p.setBrush(QColor(250, 210, 80));
  QPainterPath front;
  front.moveTo(3.5, 7.5);
  front.lineTo(15.5, 7.5);
  front.lineTo(12.5, 13.5);
  front.lineTo(0.5, 13.5);
  front.closeSubpath();
  p.drawPath(front);
}

void DrawSave(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(QColor(50, 90, 170));
  p.drawRect(QRectF(1.5, 0.5, 13, 14));
  p.setBrush(QColor(240, 240, 240));
  p.drawRect(QRectF(4.5, 0.5, 7, 5));
  p.setBrush(QColor(175, 175, 185));
  p.drawRect(QRectF(4.5, 9.5, 7, 5));
  p.fillRect(QRectF(9, 10, 1.5, 4), QColor(60, 60, 70));
}

void DrawCut(QPainter& p) {
  Antialiased(p);
  p.setPen(QPen(QColor(100, 100, 115), 1.5));
  p.drawLine(QPointF(6, 9), QPointF(11.5, 0.5));
  p.drawLine(QPointF(10, 9), QPointF(4.5, 0.5));
  p.setPen(QPen(QColor(200, 30, 30), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(4.5, 11.5), 2.4, 2.4);
  p.drawEllipse(QPointF(11.5, 11.5), 2.4, 2.4);
}

void DrawCopy(QPainter& p) {
  Page(p, QRectF(0.5, 0.5, 8, 9), true);
  Page(p, QRectF(6.5, 4.5, 8, 10), true);
}

void DrawPaste(QPainter& p) {
  p.setPen(QPen(QColor(90, 60, 20), 1));
  p.setBrush(QColor(180, 130, 70));
  p.drawRect(QRectF(1.5, 1.5, 10, 12));
  p.setBrush(QColor(160, 160, 170));
  p.drawRect(QRectF(4.5, 0.5, 4, 2));
  Page(p, QRectF(7.5, 5.5, 7, 9), true);
}

// A curved arrow turning back to the left; mirrored for redo.
void DrawTurnArrow(QPainter& p, bool mirrored) {
  if (mirrored) {
    p.translate(kButtonWidth, 0);
    p.scale(-1, 1);
  }
  Antialiased(p);
  QPainterPath curve;
  curve.moveTo(12.5, 12.5);
  curve.cubicTo(14.5, 6.5, 10.5, 3.5, 5.5, 5.0);
  p.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  QPainterPath head;
  head.moveTo(0.5, 5.5);
  head.lineTo(6.5, 1.0);
  head.lineTo(6.5, 10.0);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawPath(head);
}

void DrawMagnifier(QPainter& p, QPointF centre, qreal radius, QPointF handleEnd) {
  Antialiased(p);
  const qreal reach = radius / std::sqrt(2.0);
  p.setPen(QPen(QColor(120, 70, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(reach, reach), handleEnd);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(QColor(175, 215, 245));
  p.drawEllipse(centre, radius, radius);
}

void DrawFind(QPainter& p) { DrawMagnifier(p, {6, 6}, 4.5, {14, 13.5}); }

void DrawFindNext(QPainter& p) {
  DrawMagnifier(p, {5.5, 5.5}, 4, {10, 10});
  QPainterPath arrow;
  arrow.moveTo(10.5, 7.5);
  arrow.lineTo(15.5, 11);
  arrow.lineTo(10.5, 14.5);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(10, 100, 20), 1));
  p.setBrush(QColor(40, 170, 50));
  p.drawPath(arrow);
}

void DrawReplace(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(240, 140, 40));
  p.drawRect(QRectF(0.5, 0.5, 6, 6));
  p.setBrush(QColor(60, 120, 220));
  p.drawRect(QRectF(8.5, 8.5, 6, 6));
  Antialiased(p);
  QPainterPath bend;
  bend.moveTo(7.5, 3.5);
  bend.quadTo(11.5, 3.5, 11.5, 6.5);
  p.setPen(QPen(kInk, 1.3));
  p.setBrush(Qt::NoBrush);
  p.drawPath(bend);
  QPainterPath head;
  head.moveTo(9.0, 5.5);
  head.lineTo(14.0, 5.5);
  head.lineTo(11.5, 8.2);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPath(head);
}

void DrawCompile(QPainter& p) {
  Antialiased(p);
  const QPointF centre(8, 7.5);
  QPainterPath cog;
  constexpr int kTeeth = 8;
  for (int i = 0; i < kTeeth * 4; ++i) {
    const qreal angle = (i - 0.5) * M_PI / (kTeeth * 2);
    const qreal radius = (i % 4 < 2) ? 7.0 : 5.0;
    const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
    if (i == 0)
      cog.moveTo(point);
    else
      cog.lineTo(point);
  }
  cog.closeSubpath();
  cog.addEllipse(centre, 2.0, 2.0);
  cog.setFillRule(Qt::OddEvenFill);
  p.setPen(QPen(QColor(40, 45, 55), 1));
  p.setBrush(QColor(120, 130, 145));
  p.drawPath(cog);
}

void DrawRun(QPainter& p) {
  Antialiased(p);
  QPainterPath play;
  play.moveTo(3.5, 1.5);
  play.lineTo(13.5, 7.5);
  play.lineTo(3.5, 13.5);
  play.closeSubpath();
  p.setPen(QPen(QColor(10, 100, 20), 1));
  p.setBrush(QColor(40, 175, 55));
  p.drawPath(play);
}

void DrawObjectTree(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.drawLine(QPointF(3.5, 5), QPointF(3.5, 11.5));
  p.drawLine(QPointF(3.5, 7.5), QPointF(8, 7.5));
  p.drawLine(QPointF(3.5, 11.5), QPointF(8, 11.5));
  p.setBrush(QColor(60, 120, 220));
  p.drawRect(QRectF(1.5, 1.5, 4, 3));
  p.setBrush(QColor(240, 140, 40));
  p.drawRect(QRectF(8.5, 5.5, 6, 3));
  p.setBrush(QColor(40, 170, 50));
  p.drawRect(QRectF(8.5, 10.5, 6, 3));
}

void DrawAbout(QPainter& p) {
  Antialiased(p);
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(QColor(45, 105, 215));
  p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 4.2), 1.3, 1.3);
  p.drawRect(QRectF(7, 6.5, 2, 5.5));
}

void DrawContextHelp(QPainter& p) {
  QPainterPath pointer;
  pointer.moveTo(0.5, 0.5);
  pointer.lineTo(0.5, 11.5);
  pointer.lineTo(3.0, 9.0);
  pointer.lineTo(5.0, 13.5);
  pointer.lineTo(6.8, 12.7);
  pointer.lineTo(4.8, 8.5);
  pointer.lineTo(8.0, 8.5);
  pointer.closeSubpath();
  Antialiased(p);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPath(pointer);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(13);
  p.setFont(font);
  p.setPen(kBlue);
  p.drawText(QRectF(8, 0, 8, 15), Qt::AlignCenter, QStringLiteral("?"));
}

QImage ToolbarStrip(int scale) {
  const std::vector<std::function<void(QPainter&)>> buttons = {
      DrawNew,      DrawOpen,    DrawSave,
      DrawCut,      DrawCopy,    DrawPaste,
      [](QPainter& p) { DrawTurnArrow(p, false); },
      [](QPainter& p) { DrawTurnArrow(p, true); },
      DrawFind,     DrawFindNext, DrawReplace,
      DrawCompile,  DrawRun,     DrawObjectTree,
      DrawAbout,    DrawContextHelp,
  };
  QImage image(kButtonWidth * scale * static_cast<int>(buttons.size()), kButtonHeight * scale,
               QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (size_t i = 0; i < buttons.size(); ++i) {
    QPainter p(&image);
    p.translate(static_cast<qreal>(i) * kButtonWidth * scale, 0);
    if (scale != 1) p.scale(scale, scale);
    p.setClipRect(0, 0, kButtonWidth, kButtonHeight);
    buttons[i](p);
  }
  return image;
}

// The application icon, drawn on a 256-unit square and scaled to size.
QImage ApplicationIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  Antialiased(p);
  p.scale(size / 256.0, size / 256.0);

  QLinearGradient tile(0, 0, 0, 256);
  tile.setColorAt(0, QColor(35, 120, 150));
  tile.setColorAt(1, QColor(15, 40, 85));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

  const QColor gold(245, 195, 60);
  const QColor goldRim(120, 80, 10);
  const QColor pole(235, 235, 230);
  // Pole, compass arms and base.
  p.setPen(QPen(pole, 12, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(128, 70), QPointF(128, 222));
  p.setPen(QPen(pole, 8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(64, 178), QPointF(192, 178));
  p.setPen(Qt::NoPen);
  p.setBrush(pole);
  p.drawEllipse(QPointF(64, 178), 10, 10);
  p.drawEllipse(QPointF(192, 178), 10, 10);
  p.drawRoundedRect(QRectF(98, 214, 60, 16), 6, 6);

  // The vane: an arrow with a feathered tail.
  QPainterPath vane;
  vane.moveTo(40, 66);
  vane.lineTo(88, 66);
  vane.lineTo(104, 84);
  vane.lineTo(186, 84);
  vane.lineTo(186, 62);
  vane.lineTo(232, 96);
  vane.lineTo(186, 130);
  vane.lineTo(186, 108);
  vane.lineTo(104, 108);
  vane.lineTo(88, 126);
  vane.lineTo(40, 126);
  vane.lineTo(62, 96);
  vane.closeSubpath();
  p.setPen(QPen(goldRim, size >= 32 ? 6 : 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(gold);
  p.drawPath(vane);
  p.setPen(Qt::NoPen);
  p.setBrush(gold);
  p.drawEllipse(QPointF(128, 96), 14, 14);

  if (size >= 48) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(pole);
    p.drawText(QRectF(20, 160, 34, 36), Qt::AlignCenter, QStringLiteral("W"));
    p.drawText(QRectF(204, 160, 34, 36), Qt::AlignCenter, QStringLiteral("E"));
  }
  return image;
}

bool Save(const QImage& image, const QString& folder, const QString& name) {
  const QString path = folder + QLatin1Char('/') + name;
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "make_torvane_icons: cannot write %s\n", qPrintable(path));
  return false;
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_torvane_icons OUTPUT_FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  bool ok = Save(ToolbarStrip(1), folder, QStringLiteral("toolbar_128.png"));
  ok &= Save(ToolbarStrip(2), folder, QStringLiteral("toolbar_128@2x.png"));
  for (int size : {16, 32, 48, 64, 128, 256})
    ok &= Save(ApplicationIcon(size), folder, QStringLiteral("torvane_%1.png").arg(size));
  ok &= Save(ApplicationIcon(96), folder, QStringLiteral("about_138.png"));
  ok &= Save(ApplicationIcon(192), folder, QStringLiteral("about_138@2x.png"));
  return ok ? 0 : 1;
}
