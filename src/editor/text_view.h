#pragma once
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QGlyphRun>
#include <QPixmap>
#include <QPoint>
#include <QRawFont>
#include <QRect>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "buffer_view.h"
#include "cell_pictures.h"
#include "cmd_target.h"
#include "colouring.h"
#include "cookie_cache.h"
#include "line_caches.h"
#include "pane_grid.h"
#include "search_pattern.h"
#include "text_buffer.h"
#include "text_position.h"
#include "view_font.h"

class CTextViewAccess;
class QMimeData;
class QScrollBar;
class QPainter;
class QPrinter;

// The read-only text view of the editor: shows the lines of a CTextBuffer in a grid of
// fixed-pitch cells with syntax colours, a 20-pixel selection margin with the line-flag icons,
// the selection and a caret; keyboard and mouse navigation, Copy, Select All and bookmarks.
// The editing view derives from it and adds the commands that change the text.
class CTextView : public QAbstractScrollArea, public CBufferView, public CCmdTarget {
  Q_OBJECT

public:
  static constexpr int MARGIN_WIDTH = 20;
  static constexpr int TAB_SIZE = 4;
  static constexpr int AUTO_SCROLL_TIMER_ID = 1001;
  static constexpr int AUTO_SCROLL_PERIOD_MS = 100;
  static constexpr int MARGIN_CURSOR_ID = 22900;
  static constexpr int MARGIN_ICONS_ID = 22902;
  static constexpr int MARGIN_ICON_SIZE = 16;
  // Longest line whose end cookie a change inside it checks at once (see OnBufferChanged).
  static constexpr int RECHECK_LINE_LENGTH = 65536;
  // The horizontal bar measures at most this many lines at a time for the longest line; a
  // larger text is measured in further slices from the event loop.
  static constexpr int LONGEST_WALK_SLICE = 32768;

  explicit CTextView(QWidget* parent = nullptr);
  ~CTextView() override;

  // ---- Virtual operations, in their established order ----

  // Clears caches, fonts, selection and scroll state; the derived edit view extends it.
  virtual void ResetViewState();
  // Page header and footer texts of a printed page (the header is not printed).
  virtual std::string FormatHeaderText(int page) const;
  virtual std::string FormatFooterText(int page, int pageCount) const;
  // Views in the panes of one splitter share their top line (one row) or first column (one
  // column).
  virtual void SyncSplitterSiblings(bool vertical);
  virtual void FollowSiblingScroll(CTextView* source, bool vertical);
  virtual int GetLineCount() const;                 // 1 without a buffer
  virtual int GetLineLength(int line) const;        // 0 without a buffer or for a bad line
  virtual int GetExpandedLineLength(int line);      // cached column at the end of the line
  virtual const char* GetLineText(int line) const;  // null without a buffer; not terminated
  virtual uint32_t GetLineFlags(int line) const;    // 0 without a buffer
  // Text between two positions, lines joined by CR LF; empty without a buffer.
  virtual void GetTextRange(TextPosition start, TextPosition end, std::string& text) const;
  virtual bool ClipboardHasText() const;
  virtual bool CopyToClipboard(const std::string& text);
  virtual bool TakeFromClipboard(std::string& text);
  // The text of pasted or dropped data as ISO 8859-1 bytes: characters outside it
  // become '?', and every line break becomes CR LF (text from other programs often ends its
  // lines with LF alone, which the buffer would keep as a byte inside a line).
  static std::string MimeTextBytes(const QMimeData& data);
  // The same for a text in encoding: our own bytes when the data carries them for the same
  // encoding, else its text encoded, the characters encoding cannot hold as '?' and listed in
  // unconvertible (when given).
  static std::string MimeTextBytes(const QMimeData& data, TextEncoding encoding,
                                   QString* unconvertible);
  // Tells the user that text coming in holds characters this text's encoding cannot store,
  // and that nothing was inserted.
  void ReportUnconvertible(const QString& characters) const;
  // The ordered selection as drag data ("text/plain", ISO 8859-1, CR LF between lines); null
  // when the selection is empty. Records the dragged range. The caller owns the result.
  virtual QMimeData* MakeDragData();
  virtual Qt::DropActions GetDragSourceEffects() const; // copy only
  virtual void OnDragSourceDone(Qt::DropAction effect); // nothing here
  virtual COLORREF GetStyleColor(int colourIndex) const;
  virtual void GetLineHighlight(int line, COLORREF& background, COLORREF& textColour,
                                bool& fillLineEnd) const;
  virtual bool IsStyleItalic(int colourIndex) const;
  virtual bool IsStyleBold(int colourIndex) const;
  // Paint one line's text cell and its margin cell; line -1 is past the end of the text.
  virtual void PaintLine(QPainter& painter, const QRect& rect, int line);
  virtual void PaintMargin(QPainter& painter, const QRect& rect, int line);
  // The colouring callback: colours line lineIndex starting from cookie (the cookie of the
  // line above, 0 for line 0); with runs non-null fills at most 3 x line length runs and sets
  // runCount. Returns the cookie at the end of the line. The text view colours nothing.
  virtual uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount);
  // The end cookies of count lines from first, each coloured from the one above (the first
  // from cookie): what ColourLine gives them without runs. A colouring may override it to
  // colour many lines in one call.
  virtual void ColourLineCookies(uint32_t cookie, int first, int count, uint32_t* cookies);
  // What painting asks for: the colour index of each character [from, to) of lineIndex in
  // colours[0 .. to - from - 1], coloured from cookie. With wholeLine it returns the cookie
  // at the end of the line, as ColourLine does; without, the result is not used. resume,
  // given for a long line, is where the caches keep the places a colouring may take its
  // pass up again. The text view takes the colours from ColourLine's runs (room for
  // 3 x line length runs, text before the first run NormalText); a colouring that can colour
  // part of a line overrides it, so that painting a few columns of a long line costs no runs
  // for the rest of it.
  virtual uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to,
                                  int32_t* colours, bool wholeLine, ColourResumePoints* resume);
  // The buffer to attach when AttachBuffer is given none; the document view supplies it.
  virtual CTextBuffer* FindDocumentBuffer() const;
  // The panes this view shares its window with; none here, the document view's frame has
  // them.
  virtual CPaneGrid* FindPaneGrid() const { return nullptr; }
  // Carries out a command named by a key of the view's table. Here: the view's own
  // commands (those it answers an update for), when enabled; any other goes out through
  // unhandledCommand. The document view sends every key command through the window's
  // router instead.
  virtual void RouteCommand(int id);
  // Called by the buffer after every change.
  void OnBufferChanged(CBufferView* sourceView, const UpdateContext* context, uint32_t hints,
                       int line) override;
  // Called by a buffer destroyed while this view is attached: the view shows no text.
  void OnBufferDestroyed() override { DetachBuffer(); }
  void OnTextRemoving(const UpdateContext& range) override;
  void OnTextReplacing() override;
  // What screen readers read of the view (text_view_accessible.h).
  CTextViewAccess& Access() const { return *m_access; }

  // ---- Buffer, fonts, metrics ----

  // Attaches the document's buffer; a pane of a splitter takes the shared scroll position of
  // the first pane of its row or column.
  virtual void OnInitialUpdate();

  void AttachBuffer(CTextBuffer* buffer = nullptr);
  void DetachBuffer();
  CTextBuffer* GetBuffer() const { return m_buffer; }
  // The lines the buffer holds: 0 without a buffer, unlike GetLineCount.
  int BufferLineCount() const { return m_buffer ? m_buffer->LineCount() : 0; }

  void SetViewFont(const FontDescription& description);
  const FontDescription& GetViewFont() const { return m_fontDescription; }
  const QFont& GetStyleFont(bool italic, bool bold);

  int GetLineHeight();
  int GetCharWidth();
  int GetTabSize() const { return TAB_SIZE; }
  int GetMarginWidth() const { return MARGIN_WIDTH; }
  int GetVisibleLines();
  int GetVisibleColumns();
  int GetLongestLine();
  int GetTopLine() const { return m_topLine; }
  int GetFirstColumn() const { return m_firstColumn; }

  // The cookie in force at the end of line; 0 for a negative line.
  uint32_t GetLineCookie(int line);
  // Display text of count characters from offset: tabs become blanks up to the next stop
  // (counted from the start of the line).
  std::string ExpandTabs(const char* chars, int offset, int count) const;

  // last -1 means down to the bottom of the window.
  void InvalidateLineRange(int first, int last);
  void ScrollToTopLine(int line, bool updateBar = true);
  void ScrollToColumn(int column, bool updateBar = true);
  void UpdateVertScrollBar(bool positionOnly = false);
  void UpdateHorzScrollBar(bool positionOnly = false);

  // ---- Cursor, selection and positions ----

  TextPosition GetCursorPosition() const { return m_cursor; }
  void PlaceCursor(TextPosition position);
  TextPosition GetAnchor() const { return m_anchor; }
  void SetAnchor(TextPosition position) { m_anchor = position; }
  void SetSelection(TextPosition start, TextPosition end);
  // The selection as set (either order).
  void GetSelection(TextPosition& start, TextPosition& end) const;
  // The selection ordered: start <= end.
  void GetSelectionBounds(TextPosition& start, TextPosition& end);
  bool HasSelection() const { return m_selStart != m_selEnd; }
  void NormalizeSelection();
  bool IsInSelection(TextPosition position);
  // Whether p lies in the ordered selection from start to end (the draw-selection test).
  static bool IsInOrderedSelection(TextPosition start, TextPosition end, TextPosition p);

  // The column after one character standing at column: a tab runs on to the next tab stop.
  static int ColumnAfter(char c, int column) {
    return c == '\t' ? column + TAB_SIZE - column % TAB_SIZE : column + 1;
  }
  // Letters, digits and underscore: what word moves and word selection keep together.
  static bool IsWordChar(char c);
  int CharToColumn(int line, int charIndex) const;
  int CharToColumn(TextPosition position) const { return CharToColumn(position.y, position.x); }
  int ColumnToChar(int line, int column) const;
  TextPosition PointToTextPos(QPoint point);
  // The place a click or a drop at point means: the right half of a character is the place
  // after it.
  TextPosition NearestTextPos(QPoint point);
  QPoint TextPosToPoint(TextPosition position);
  TextPosition WordStartBefore(TextPosition position) const;
  TextPosition WordEndAfter(TextPosition position) const;

  void ScrollIntoView(TextPosition position);
  void UpdateCaret();
  void HideCursor();
  void ShowCursor();
  // Where the caret is drawn (empty while it is hidden) and whether the blink shows it now.
  QRect GetCaretRect() const { return m_caretRect; }
  bool IsCaretVisible() const { return !m_caretRect.isEmpty(); }

  // One line up or down (the Ctrl+Up/Ctrl+Down commands) and one column left or right.
  void ScrollUp();
  void ScrollDown();
  void ScrollLeft();
  void ScrollRight();

  void SelectAll();
  void Copy();

  int GetPreferredColumn() const { return m_preferredColumn; }
  bool IsFocused() const { return m_focused; }
  bool GetShowInactiveSelection() const { return m_showInactiveSelection; }
  void SetShowInactiveSelection(bool show);
  bool IsHorzBarLocked() const { return m_horzBarLocked; }
  void SetHorzBarLocked(bool locked) { m_horzBarLocked = locked; }
  // Some line of the buffer carries the unnumbered bookmark (read from the buffer, so that
  // bookmarks set through another view of the same text count too).
  bool BookmarksExist() const;
  bool IsDragSelecting() const { return m_dragSelecting; }
  bool IsPreparingToDrag() const { return m_preparingToDrag; }
  bool IsDraggingText() const { return m_draggingText; }
  bool IsWordMode() const { return m_wordMode; }
  bool IsLineMode() const { return m_lineMode; }

  // The three mouse cursor shapes: margin (our right-pointing arrow), arrow over the
  // selection, I-beam elsewhere.
  static QCursor MarginCursor();
  QCursor CursorForPoint(QPoint point);

  // ---- Characters (text_view_chars.cpp) ----

  // The encoding of the attached text; ISO 8859-1 without one.
  TextEncoding GetEncoding() const;
  // Whether line is measured and drawn by character units (see NeedsCharColumns).
  bool LineNeedsChars(int line) const;
  // The character boundaries around x on line: carets, selections and deletions stop only
  // there (in ISO 8859-1 every byte is one). A character with its combining marks is one.
  int NextCharPos(int line, int x) const;
  int PrevCharPos(int line, int x) const;
  int CharStartPos(int line, int x) const;
  // The start of the unit before x: what Backspace removes (a combining mark alone).
  int PrevUnitPos(int line, int x) const;
  // What word moves keep together: IsWordChar, and in UTF-8 every byte of a non-ASCII
  // character.
  bool IsWordByte(char c) const;

  // ---- Find ----

  // Searches the whole text for text (bytes) from start with the SearchFlags; found is the
  // first character of the match. With wrap, a search that runs off the end of the text
  // (the start, upward) goes on once from the other end. An empty text never matches.
  bool SearchText(std::string_view text, TextPosition start, uint32_t flags, bool wrap,
                  TextPosition& found);
  // The same inside [rangeStart, rangeEnd): a match must lie wholly inside the range, and
  // start is brought into it. Downward the leftmost match at or after start is taken,
  // upward the rightmost one that starts before start.
  bool SearchTextInRange(std::string_view text, TextPosition start, TextPosition rangeStart,
                         TextPosition rangeEnd, uint32_t flags, bool wrap, TextPosition& found);
  // Selects length characters from position on its line; the caret and the anchor go to the
  // end (the preferred column is left alone) and the end is scrolled into view.
  void SelectFoundText(TextPosition position, int length);
  // Where an upward search from p begins: at the selection's start when p lies on the
  // selection, so that Shift+F3 from a found match goes to the match before it.
  TextPosition UpwardSearchStart(TextPosition p);
  // The search F3 and Shift+F3 repeat: set when a Find dialog of this view closes.
  bool HasRememberedSearch() const { return m_searchRemembered; }
  uint32_t GetLastSearchFlags() const { return m_lastSearchFlags; }
  const std::string& GetLastSearchText() const { return m_lastSearchText; }
  void OnEditFind();
  // F3 repeats the remembered search; Shift+F3 (previous) runs it the other way once.
  void OnEditRepeat(bool previous);

  // ---- Printing (text_view_print.cpp) ----

  // One print job of the whole text onto printer through a CTextPrinter, with the view's font,
  // Page Setup's margins and printed font size, and FormatFooterText below every page. False,
  // with *error (when given) saying why, when nothing could be printed.
  bool PrintTo(QPrinter& printer, QString* error = nullptr);

  // Page Setup (57605), Print (57607), Print Direct (57608, the default printer without a
  // dialog) and Print Preview (57609).
  void OnFilePageSetup();
  void OnFilePrint(bool direct);
  void OnFilePrintPreview();

signals:
  // A key of the view's table named a command no target in the view handled; the frame
  // routes it on to the document, the frames and the application.
  void unhandledCommand(int id);
  // The caret, the selection or the buffer's state changed: status panes and menu states
  // may need a refresh.
  void cursorChanged();

protected:
  // The view's command table; called once, by the constructor.
  void DeclareCommands();

  // ---- Hooks for the editing view ----

  // A typed character the key table did not take (Enter arrives as 13). The text view
  // ignores it.
  virtual void OnChar(unsigned char c);
  // Typed characters as bytes of the text's encoding (one or more characters, never a line
  // break), in a text that is not ISO 8859-1. The text view ignores them.
  virtual void OnTypedBytes(std::string_view bytes);
  // Typed text through OnTypedBytes; false (nothing typed) when it holds no character or one
  // the text's encoding cannot hold.
  bool TypeText(const QString& text);
  // Runs a drag of data (owned by the callee) with the allowed effects; returns the effect
  // the drop reported (Qt::IgnoreAction when none).
  virtual Qt::DropAction RunDrag(QMimeData* data, Qt::DropActions effects);
  // The auto-scroll step of the held mouse button, run by the 100 ms timer.
  void OnAutoScrollTimer();
  // Starts and ends mouse selection (the timer exists exactly while drag-selecting).
  void StartMouseSelection(bool wordMode, bool lineMode);
  void EndMouseSelection();

  // ---- Qt events ----
  bool event(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void changeEvent(QEvent* event) override;

  // ---- Movement commands (plain and extending forms) ----
  void MoveLeft(bool extending);
  void MoveRight(bool extending);
  void MoveWordLeft(bool extending);
  void MoveWordRight(bool extending);
  void MoveUp(bool extending);
  void MoveDown(bool extending);
  void MovePageUp(bool extending);
  void MovePageDown(bool extending);
  int PageStep();
  void MoveHome(bool extending);
  void MoveEnd(bool extending);
  void MoveCtrlHome(bool extending);
  void MoveCtrlEnd(bool extending);
  // One line up (-1) or down (+1), keeping the preferred column through short lines.
  void MoveLine(int direction, bool extending);
  // One page up (-1) or down (+1): the window and the cursor move by the same step.
  void MovePage(int direction, bool extending);
  // Preferred column from the cursor (unless a vertical move keeps it), scroll it into view,
  // caret, anchor, selection.
  void FinishMove(bool extending, bool keepPreferredColumn = false);

  // ---- Bookmarks ----
  void ToggleNumberedBookmark(int n);
  void GoNumberedBookmark(int n);
  void ClearNumberedBookmarks();
  void ToggleBookmark();
  void GoNextBookmark();
  void GoPrevBookmark();
  void ClearAllBookmarks();
  void JumpToLineStart(int line);

  // ---- Internals ----
  void MeasureFont();
  // The caches' view of the text: the view's own line accessors and colouring.
  class CCacheSource final : public CLineCacheSource, public CCookieSource {
  public:
    explicit CCacheSource(CTextView& view) : m_view(view) {}
    int CacheLineCount() const override { return m_view.BufferLineCount(); }
    int CacheLineLength(int line) const override { return m_view.GetLineLength(line); }
    const char* CacheLineChars(int line) const override { return m_view.GetLineText(line); }
    // A text without a non-ASCII byte keeps the byte-per-column paths in any encoding.
    TextEncoding CacheEncoding() const override {
      return m_view.m_buffer && !m_view.m_buffer->IsAsciiOnly() ? m_view.GetEncoding() : ENC_DEFAULT;
    }
    int CookieLineCount() const override { return m_view.BufferLineCount(); }
    uint32_t CookieColourLine(uint32_t cookie, int line) override;
    void CookieColourLines(uint32_t cookie, int first, int count, uint32_t* cookies) override {
      m_view.ColourLineCookies(cookie, first, count, cookies);
    }

  private:
    CTextView& m_view;
  };
  // The buffer's cookies for this view's colouring, shared with every view of the same
  // class (a class colours the text one way); null without a buffer.
  CCookieCache* SharedCookies() const;
  void ClampStoredPositions();
  // The nearest place inside the text; (0, 0) without one.
  TextPosition ClampPosition(TextPosition position) const;
  TextPosition LineEndAfter(int line) const; // (0, line + 1), or the end of the last line
  bool ShowsSelection() const { return m_focused || m_showInactiveSelection; }
  // Runs are drawn over the line's background, which PaintLine fills once; only the selected
  // part of a run fills its own.
  void PaintTextRun(QPainter& painter, QPoint& origin, const QRect& rect, int colourIndex,
                    const char* chars, int offset, int count, int line, COLORREF lineTextColour);
  void PaintPlainRun(QPainter& painter, QPoint& origin, const QRect& rect, const char* chars,
                     int offset, int count, int faceSlot, const QColor* fill, const QColor& text);
  // The glyphs of one face for the 256 byte values, so that painting draws glyph runs on the
  // cell grid instead of shaping text on every paint.
  struct CellFace {
    QRawFont font;
    QGlyphRun run;                    // holds the raw font; each drawn run sets its data
    std::array<quint32, 256> glyph{}; // 0: a blank cell, nothing to draw
    std::bitset<256> fallback;        // bytes the face has no glyph for: drawn as text
  };
  // Null when the face cannot give raw glyphs; its text is then drawn as text.
  CellFace* GetCellFace(int faceSlot);
  const CCellPictures& CellPictures() const { return m_cellPictures; }
  // Paints the row of characters [from, to) (the first at fromColumn) from cell pictures;
  // false, with nothing painted, when a picture is missing (it is drawn from the event loop)
  // or the row needs the run drawing.
  bool PaintRowFromPictures(QPainter& painter, const QRect& rect, int line, const char* chars,
                            int from, int to, const int32_t* colours, int fromColumn,
                            COLORREF lineTextColour, const QColor& background,
                            const QColor& endColour);
  // ColumnToChar and PointToTextPos on a line of characters.
  int ColumnToCharUnits(int line, int column) const;
  TextPosition PointToTextPosUnits(int line, int column) const;
  // NearestTextPos on a line of characters: the right half of a unit is the place after it.
  TextPosition NearestTextPosUnits(int line, int x);
  // PaintLine's drawing of a line of characters, unit by unit.
  void PaintCharRow(QPainter& painter, const QRect& rect, int line, int from, int to,
                    const int32_t* colours, int fromColumn, COLORREF lineTextColour,
                    const QColor& background, const QColor& endColour);
  // Draws a character and its combining marks in the cells [x, x + width).
  static void PaintCluster(QPainter& painter, const QString& cluster, int x, int width, int baseline);
  void DropFonts();
  // The icon strip for a paint device of this pixel ratio.
  const QPixmap& MarginIcons(qreal ratio);
  void InvalidateCaret();
  // One scroll bar over total items of which visible fit the window, showing *first; a range
  // that now fits the window scrolls back to its start.
  void SetScrollBarRange(QScrollBar* bar, int& first, int total, int visible);
  void SetScrollBarPosition(QScrollBar* bar, int first);
  // The horizontal bar's total: the longest line, or while a large text is still being
  // measured, the longest line measured so far (the walk goes on from the event loop).
  int HorzScrollExtent();
  // A first column the horizontal scroll can take: from 0 to the longest line less one.
  int ClampFirstColumn(int column);
  // Fresh view state and scroll bars for a text attached, detached or reloaded.
  void ResetForNewText();
  void SetMouseCursorFor(QPoint point);
  // The other panes of this view's row (sameRow) or column in its pane grid.
  QList<CTextView*> SplitterSiblings(bool sameRow) const;

  // ---- Fields ----
  std::unique_ptr<CTextViewAccess> m_access;
  bool m_cursorHidden = false;
  int m_lineHeight = -1;
  int m_charWidth = -1;
  int m_visibleLines = -1;
  int m_visibleColumns = -1;
  int m_preferredColumn = -1;
  bool m_focused = false;
  TextPosition m_anchor;
  FontDescription m_fontDescription;
  std::unique_ptr<QFont> m_fonts[4];
  std::unique_ptr<CellFace> m_cellFaces[4];
  bool m_cellFaceTried[4] = {false, false, false, false};
  int m_fontAscent = -1;
  // Glyph indexes and positions of the run being drawn, reused from run to run.
  std::vector<quint32> m_runGlyphs;
  std::vector<QPointF> m_runPositions;
  CCellPictures m_cellPictures;
  QBasicTimer m_cellPictureTimer; // draws the pictures that painting found missing
  QImage m_rowImage;              // the row being made from pictures
  std::vector<const CCellPictures::Picture*> m_rowCells; // its pictures, cell by cell
  // Expanded lengths, the longest line and the long lines' places (see line_caches.h).
  CCacheSource m_cacheSource{*this};
  // Mutable: counting columns on a long line keeps places to count from.
  mutable CLineCaches m_caches{m_cacheSource};
  // Painting's room for the colours of the painted characters and, for a colouring that
  // gives whole-line runs only, for those runs; kept from paint to paint.
  std::vector<int32_t> m_spanColours;
  std::vector<StyleRun> m_runScratch;
  // Drag state.
  bool m_preparingToDrag = false;
  bool m_draggingText = false;
  bool m_dragSelecting = false;
  bool m_wordMode = false;
  bool m_lineMode = false;
  QBasicTimer m_autoScrollTimer;
  QBasicTimer m_longestWalkTimer; // the next slice of the walk for the longest line
  TextPosition m_drawSelStart;
  TextPosition m_drawSelEnd;
  TextPosition m_cursor;
  TextPosition m_selStart;
  TextPosition m_selEnd;
  QPixmap m_marginIcons;
  qreal m_marginIconsRatio = 0; // the pixel ratio the strip was loaded for; 0: none yet
  CTextBuffer* m_buffer = nullptr;
  bool m_horzBarLocked = false;
  TextPosition m_draggedTextBegin;
  TextPosition m_draggedTextEnd;
  bool m_showInactiveSelection = false;
  int m_topLine = 0;
  int m_firstColumn = 0;

  // Caret and mouse.
  QRect m_caretRect;
  bool m_caretBlinkOn = true;
  QBasicTimer m_caretBlinkTimer;
  QPoint m_lastMousePos;
  bool m_updatingBars = false;

  // The remembered search (forgotten on every reset).
  bool m_searchRemembered = false;
  uint32_t m_lastSearchFlags = 0;
  std::string m_lastSearchText;
};
