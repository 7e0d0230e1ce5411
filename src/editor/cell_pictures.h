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

  // Cells of width x height with the baseline at ascent; a new size drops every picture.
  void SetCellSize(int width, int height, int ascent);
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
  // none can be had (a device pixel ratio other than 1).
  const Picture* Find(CSet& set, unsigned char byte, quint32 glyph);

  // Makes a row of cells on a row already filled with back (width pixels, `stride` bytes
  // from one pixel row to the next): cells[i] is the picture in cell i, null for a blank
  // cell. False when ink of two glyphs meets where the blend is not known; the row is then
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

  int m_width = 0;
  int m_height = 0;
  int m_ascent = 0;
  std::vector<std::unique_ptr<CSet>> m_sets;
  CSet* m_lastSet = nullptr;
  std::vector<Picture> m_pictures;
  std::vector<uint32_t> m_pixels;  // picture i's own cell at i * width * height
  std::vector<uint8_t> m_coverage; // its ink, 3 cells wide, at i * 3 * width * height
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
