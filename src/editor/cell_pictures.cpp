// Cell pictures: drawn in batches on a hidden widget, kept per face and colour pair, and
// rows made of them.
#include "cell_pictures.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstring>

namespace {
// Each channel of x times a / 255, rounded as the raster engine does.
uint32_t ByteMul(uint32_t x, uint32_t a) {
  uint64_t t = ((uint64_t(x) | (uint64_t(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
  t = ((t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8) &
      0x00ff00ff00ff00ffULL;
  return uint32_t(t) | uint32_t(t >> 24);
}
// How glyph drawing puts coverage a (0 to 255) of the opaque colour x over y.
uint32_t Blend(uint32_t x, uint32_t a, uint32_t y) {
  if (a == 0) return y;
  if (a == 255) return x;
  return ByteMul(x, a) + ByteMul(y, 255 - a);
}
// Copies n pixels in blocks the compiler can move without a call (cells are a few pixels wide).
void CopyPixels(uint32_t* to, const uint32_t* from, int n) {
  int k = 0;
  for (; k + 4 <= n; k += 4) std::memcpy(to + k, from + k, 16);
  for (; k < n; ++k) to[k] = from[k];
}
} // namespace

// Each queued glyph is drawn in the middle of a row of five cells in its colour on its
// background, and below that in white on black, which gives its coverage. Ink above and below
// the row is clipped away, as the view's row clip does for glyphs drawn one by one.
class CCellPictures::CCanvas : public QWidget {
public:
  const std::vector<Job>* jobs = nullptr;
  int width = 0;
  int height = 0;
  int ascent = 0;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QGlyphRun run;
    for (std::size_t i = 0; i < jobs->size(); ++i) {
      const Job& job = (*jobs)[i];
      const int left = static_cast<int>(i) * 5 * width;
      const quint32 glyph = job.glyph;
      const QPointF position(0, ascent);
      run.setRawFont(job.set->font);
      run.setRawData(&glyph, &position, 1);
      for (const int top : {0, height}) {
        const QRect band(left, top, 5 * width, height);
        painter.setClipRect(band);
        painter.fillRect(band, top ? QColor(Qt::black) : QColor::fromRgb(job.set->back));
        painter.setPen(top ? QColor(Qt::white) : QColor::fromRgb(job.set->text));
        painter.drawGlyphRun(QPointF(left + 2 * width, top), run);
      }
    }
  }
};

CCellPictures::CCellPictures() = default;
CCellPictures::~CCellPictures() { delete m_canvas; }

void CCellPictures::Clear() {
  m_queue.clear();
  m_sets.clear();
  m_lastSet = nullptr;
  m_pictures.clear();
  m_pixels = {};
  m_coverage = {};
}

void CCellPictures::SetCellSize(int width, int height, int ascent, int ratio) {
  if (width == m_width && height == m_height && ascent == m_ascent && ratio == m_ratio) return;
  Clear();
  m_width = width;
  m_height = height;
  m_ascent = ascent;
  m_ratio = std::max(1, ratio);
  m_pixelWidth = m_width * m_ratio;
  m_pixelHeight = m_height * m_ratio;
}

CCellPictures::CSet& CCellPictures::SetFor(const QRawFont& font, int faceSlot, QRgb text,
                                           QRgb back) {
  const auto same = [&](const CSet& set) {
    return set.faceSlot == faceSlot && set.text == text && set.back == back;
  };
  if (m_lastSet && same(*m_lastSet)) return *m_lastSet;
  for (auto& set : m_sets)
    if (same(*set)) return *(m_lastSet = set.get());
  m_sets.push_back(std::make_unique<CSet>(font, faceSlot, text, back));
  return *(m_lastSet = m_sets.back().get());
}

const CCellPictures::Picture* CCellPictures::Find(CSet& set, unsigned char byte, quint32 glyph) {
  int32_t& entry = set.picture[byte];
  if (entry >= 0) return &m_pictures[static_cast<std::size_t>(entry)];
  if (entry == CSet::UNKNOWN && m_width > 0 && m_height > 0) {
    entry = CSet::QUEUED;
    m_queue.push_back(Job{&set, byte, glyph});
  }
  return nullptr;
}

void CCellPictures::DrawQueued(QWidget* host) {
  if (m_queue.empty()) return;
  const std::size_t count = std::min(m_queue.size(), MAX_BATCH);
  std::vector<Job> batch(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
  m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
  if (m_pictures.size() + count > MAX_PICTURES) {
    // Full: start again from the pictures asked for now.
    for (auto& set : m_sets)
      for (int32_t& entry : set->picture)
        if (entry >= 0) entry = CSet::UNKNOWN;
    m_pictures.clear();
  }
  if (!m_canvas || m_canvas->parentWidget() != host) {
    delete m_canvas;
    m_canvas = new CCanvas;
    m_canvas->setParent(host);
    m_canvas->setVisible(false);
    // Opaque like the view, so that its picture is not drawn on a transparent pixmap, where
    // text may be antialiased otherwise than on the view's own.
    m_canvas->setAttribute(Qt::WA_OpaquePaintEvent);
  }
  m_canvas->jobs = &batch;
  m_canvas->width = m_width;
  m_canvas->height = m_height;
  m_canvas->ascent = m_ascent;
  const QSize size(static_cast<int>(count) * 5 * m_width, 2 * m_height);
  m_canvas->resize(size);
  const QImage image = m_canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
  m_canvas->jobs = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    batch[i].set->picture[batch[i].byte] = CSet::NONE;
    // A canvas on a screen of another ratio than the cells were set for (the view moved
    // between screens) gives pixels of another size than the view's cells.
    if (image.size() == size * m_ratio)
      TakePicture(image, (static_cast<int>(i) * 5 + 1) * m_pixelWidth, batch[i]);
  }
}

void CCellPictures::TakePicture(const QImage& image, int left, const Job& job) {
  const int w = m_pixelWidth, h = m_pixelHeight;
  const QRgb back = 0xFF000000u | job.set->back;
  const QRgb text = 0xFF000000u | job.set->text;
  auto colour = [&](int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[left + x];
  };
  auto ink = [&](int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(h + y))[left + x];
  };
  // Ink two cells away is more than the overlaps below can make: such a glyph keeps being
  // drawn glyph by glyph.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (const int outer : {x - w, x + 3 * w})
        if (colour(outer, y) != back || ink(outer, y) != 0xFF000000u) return;
  Picture picture{static_cast<uint32_t>(m_pictures.size()), text, false, false, true};
  const std::size_t cellPixels = static_cast<std::size_t>(w * h);
  m_pixels.resize((m_pictures.size() + 1) * cellPixels);
  m_coverage.resize((m_pictures.size() + 1) * 3 * cellPixels);
  uint32_t* pixels = m_pixels.data() + picture.index * cellPixels;
  uint8_t* coverage = m_coverage.data() + picture.index * 3 * cellPixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < 3 * w; ++x) {
      const QRgb c = colour(x, y), white = ink(x, y);
      const int a = qBlue(white);
      coverage[y * 3 * w + x] = static_cast<uint8_t>(a);
      if (x >= w && x < 2 * w) pixels[y * w + x - w] = c;
      const bool inked = c != back || a != 0;
      if (inked && x < w) picture.spillsLeft = true;
      if (inked && x >= 2 * w) picture.spillsRight = true;
      if (qRed(white) != a || qGreen(white) != a ||
          Blend(text, static_cast<uint32_t>(a), back) != c)
        picture.blendKnown = false;
    }
  }
  m_pictures.push_back(picture);
  job.set->picture[job.byte] = static_cast<int32_t>(picture.index);
}

bool CCellPictures::ComposeRow(uint32_t* row, std::ptrdiff_t stride, int width, QRgb back,
                               const std::vector<const Picture*>& cells) {
  const int w = m_pixelWidth, h = m_pixelHeight;
  const int count = static_cast<int>(cells.size());
  auto line = [&](int y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(row) + y * stride);
  };
  bool spills = false;
  for (int i = 0; i < count; ++i) {
    const Picture* picture = cells[static_cast<std::size_t>(i)];
    if (!picture) continue;
    spills = spills || picture->spillsLeft || picture->spillsRight;
    const int x = i * w;
    const int copied = std::min(w, width - x);
    const uint32_t* pixels = m_pixels.data() + static_cast<std::size_t>(picture->index) *
                                                   static_cast<std::size_t>(w * h);
    for (int y = 0; y < h; ++y) CopyPixels(line(y) + x, pixels + y * w, copied);
  }
  if (!spills) {
    ++m_rowsComposed;
    return true;
  }
  for (int i = 0; i < count; ++i) {
    const Picture* left = i > 0 ? cells[static_cast<std::size_t>(i - 1)] : nullptr;
    const Picture* right = i + 1 < count ? cells[static_cast<std::size_t>(i + 1)] : nullptr;
    if (((left && left->spillsRight) || (right && right->spillsLeft)) &&
        !BlendCell(row, stride, width, back, cells, i))
      return false;
  }
  ++m_rowsComposed;
  return true;
}

bool CCellPictures::BlendCell(uint32_t* row, std::ptrdiff_t stride, int width, QRgb back,
                              const std::vector<const Picture*>& cells, int i) {
  const int w = m_pixelWidth, h = m_pixelHeight;
  const int count = static_cast<int>(cells.size());
  // The layers over the cell: the left neighbour's right third, the glyph's own middle one,
  // the right neighbour's left third.
  struct Layer {
    const Picture* picture;
    int offset;
  };
  auto at = [&](int j) {
    return j >= 0 && j < count ? cells[static_cast<std::size_t>(j)] : nullptr;
  };
  const Picture* left = at(i - 1);
  const Picture* own = at(i);
  const Picture* right = at(i + 1);
  Layer layers[3];
  int layerCount = 0;
  if (left && left->spillsRight) layers[layerCount++] = {left, 2 * w};
  if (own) layers[layerCount++] = {own, w};
  if (right && right->spillsLeft) layers[layerCount++] = {right, 0};
  for (int l = 0; l < layerCount; ++l)
    if (!layers[l].picture->blendKnown) return false;
  const uint8_t* coverage[3];
  for (int l = 0; l < layerCount; ++l)
    coverage[l] =
        m_coverage.data() +
        static_cast<std::size_t>(layers[l].picture->index) * 3 * static_cast<std::size_t>(w * h) +
        layers[l].offset;
  const int columns = std::min(w, width - i * w);
  for (int y = 0; y < h; ++y) {
    uint32_t* out = reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(row) + y * stride) + i * w;
    for (int x = 0; x < columns; ++x) {
      uint32_t pixel = 0xFF000000u | back;
      for (int l = 0; l < layerCount; ++l)
        pixel = Blend(layers[l].picture->text, coverage[l][y * 3 * w + x], pixel);
      out[x] = pixel;
    }
  }
  return true;
}
