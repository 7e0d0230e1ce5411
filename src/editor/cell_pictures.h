#pragma once
// Pictures of character cells: one glyph of one face in one text colour on one background,
// drawn once by Qt's own glyph drawing and copied from then on. Blending every glyph on
// every paint costs most of a repaint; a row made of copied cells costs memory copies.
#include <QPointer>
#include <QRawFont>
#include <QRgb>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

class CCellPictures {
public:
  CCellPictures();
  ~CCellPictures();
  CCellPictures(const CCellPictures&) = delete;
  CCellPictures& operator=(const CCellPictures&) = delete;

  // Cells of width x height pixels with the baseline at ascent, drawn for a device of `ratio`
  // device pixels per pixel (a whole number: a fractional ratio puts cell edges between
  // device pixels, so rows of copied cells would not line up with glyphs drawn in place).
  // A new size or ratio drops every picture.
  void SetCellSize(int width, int height, int ascent, int ratio = 1);
  int Ratio() const { return m_ratio; }
  // Pictures held, and rows made of them so far (what tests and benchmarks look at).
  std::size_t PictureCount() const { return m_pictures.size(); }
  uint64_t RowsComposed() const { return m_rowsComposed; }
  // Drops every picture (other fonts).
  void Clear();

  // A glyph drawn on its background. Some glyphs put a little ink into the cell on either
  // side (A, W, w, _ in common faces); a row then needs the blend of the overlapping ink.
  struct Picture {
    uint32_t index; // of its pixels and coverage
    QRgb text;
    bool spillsLeft;
    bool spillsRight;
    bool blendKnown; // its pixels are the blend below of its coverage: overlaps can be made
  };
  // The pictures of one face (slot 0 to 3) in one text colour on one background.
  class CSet;
  CSet& SetFor(const QRawFont& font, int faceSlot, QRgb text, QRgb back);
  // The picture of byte's glyph. Null when it is not drawn yet (it is queued then) or when
  // none can be had (ink too far outside its cell, or a canvas whose ratio is not the one
  // the cells were set for).
  const Picture* Find(CSet& set, unsigned char byte, quint32 glyph);

  // Makes a row of cells on a row already filled with back (width device pixels, `stride`
  // bytes from one device pixel row to the next): cells[i] is the picture in cell i, null
  // for a blank cell. False when ink of two glyphs meets where the blend is not known; the row is then
  // to be drawn glyph by glyph.
  bool ComposeRow(uint32_t* row, std::ptrdiff_t stride, int width, QRgb back,
                  const std::vector<const Picture*>& cells);

  bool HasQueued() const { return !m_queue.empty(); }
  // Draws the queued pictures through a hidden child of host: glyphs drawn for a widget come
  // out as they do on its screen (the antialiasing and pixel ratio the screen asks for).
  void DrawQueued(QWidget* host);

private:
  struct Job {
    CSet* set;
    unsigned char byte;
    quint32 glyph;
  };
  class CCanvas;
  static constexpr std::size_t MAX_PICTURES = 2048;
  static constexpr std::size_t MAX_BATCH = 32; // pictures drawn at a time: a small canvas
  // Takes the picture whose left neighbour cell starts at x = left in the canvas image.
  void TakePicture(const class QImage& image, int left, const Job& job);
  // Cell i of a row made again from the ink of its own glyph and its neighbours, in the
  // order they are drawn (left to right).
  bool BlendCell(uint32_t* row, std::ptrdiff_t stride, int width, QRgb back,
                 const std::vector<const Picture*>& cells, int i);

  int m_width = 0; // of a cell, in pixels
  int m_height = 0;
  int m_ascent = 0;
  int m_ratio = 1;
  // A cell's size in device pixels: the size of the pictures and of the cells of a row.
  int m_pixelWidth = 0;
  int m_pixelHeight = 0;
  uint64_t m_rowsComposed = 0;
  std::vector<std::unique_ptr<CSet>> m_sets;
  CSet* m_lastSet = nullptr;
  std::vector<Picture> m_pictures;
  // In device pixels (cell pw x ph): picture i's own cell at i * pw * ph, its ink (3 cells
  // wide) at i * 3 * pw * ph.
  std::vector<uint32_t> m_pixels;
  std::vector<uint8_t> m_coverage;
  std::vector<Job> m_queue;
  QPointer<CCanvas> m_canvas; // a child of the view's viewport, which may delete it first
};

class CCellPictures::CSet {
public:
  static constexpr int32_t UNKNOWN = -1;
  static constexpr int32_t QUEUED = -2;
  static constexpr int32_t NONE = -3; // no picture to be had
  CSet(const QRawFont& font, int faceSlot, QRgb text, QRgb back)
      : font(font), faceSlot(faceSlot), text(text), back(back) {
    picture.fill(UNKNOWN);
  }
  QRawFont font;
  int faceSlot;
  QRgb text;
  QRgb back;
  std::array<int32_t, 256> picture; // index into the pictures, or UNKNOWN, QUEUED, NONE
};
