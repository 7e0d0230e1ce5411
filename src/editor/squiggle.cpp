#include "squiggle.h"

#include <QPainter>
#include <QPolygon>

namespace {
constexpr int WAVE_HEIGHT = 2; // pixels from the lowest point to the highest
constexpr int WAVE_STEP = 2;   // pixels between a low and a high point
} // namespace

void PaintSquiggle(QPainter& painter, int left, int right, int bottom, const QColor& colour) {
  if (right <= left) return;
  QPolygon wave;
  bool up = false;
  for (int x = left; x < right + WAVE_STEP; x += WAVE_STEP, up = !up)
    wave << QPoint(std::min(x, right), up ? bottom - WAVE_HEIGHT : bottom);
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
