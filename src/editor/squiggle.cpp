#include "squiggle.h"

#include <QPainter>
#include <QPaintDevice>
#include <QPolygonF>

namespace {
constexpr int WAVE_HEIGHT = 2; // pixels from the lowest point to the highest
constexpr int WAVE_STEP = 2;   // pixels between a low and a high point
} // namespace

void PaintSquiggle(QPainter& painter, int left, int right, int bottom, const QColor& colour) {
  if (right <= left) return;
  // At a device pixel ratio above 1 the wave goes through the pixels' centres: its pen then
  // covers whole pixels (through their corners it would take half of the pixels above and to
  // the left). At 1 the raster already puts a one-pixel line on the pixel at its point.
  const qreal centre = painter.device()->devicePixelRatioF() > 1.0 ? 0.5 : 0.0;
  QPolygonF wave;
  bool up = false;
  for (int x = left; x < right + WAVE_STEP; x += WAVE_STEP, up = !up)
    wave << QPointF(std::min(x, right) + centre, (up ? bottom - WAVE_HEIGHT : bottom) + centre);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(colour, 1));
  painter.drawPolyline(wave);
  painter.restore();
}

unsigned int BlendColourRefs(unsigned int a, unsigned int b) {
  unsigned int blend = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    blend |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
  return blend;
}
