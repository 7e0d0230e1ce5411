#pragma once
#include <QAccessibleWidget>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "text_position.h"

class CTextView;
struct UpdateContext;

// What a screen reader reads of a text view: its characters counted over the whole text with
// one "\n" between lines, the caret and the selection as offsets into them, and the events
// that tell the reader what was typed, deleted and moved over. The view owns one and calls it
// on every change; nothing is sent while no reader listens.
//
// A text may hold tens of megabytes: it is never built as one string for an event. Offsets
// come from the start offsets of the lines, counted once from the top and kept; a change
// forgets only the starts below the line it touched.
class CTextViewAccess {
public:
  explicit CTextViewAccess(CTextView& view);

  int CharacterCount();
  // The offset of a position (brought inside the text first) and the position of an offset
  // (brought into 0 .. CharacterCount()).
  int OffsetOf(TextPosition position);
  TextPosition PositionAt(int offset);
  // The characters of [start, end), "\n" between lines.
  QString Text(int start, int end);
  // The characters of one line, without its line break.
  QString LineText(int line);
  // Where line starts: the offset of its first character.
  int LineStart(int line);

  // Hooks the view calls: a deletion about to be made, any change made (context null for a
  // change of flags only), the whole text about to be replaced (or read in another encoding)
  // and replaced, and the caret or the selection set. A reset tells the reader the old text
  // went and the new one came, as one text update from offset 0.
  void TextRemoving(const UpdateContext& range);
  void TextChanged(const UpdateContext* context, int line);
  void TextReplacing();
  void TextReset();
  void CaretChanged();

private:
  int LineCount() const;
  int LineCharacters(int line) const;
  // Counts line starts down to line (or, with offset >= 0, until a start passes offset).
  void CountStartsTo(int line, int64_t offset = -1);
  void Forget(int line);

  CTextView& m_view;
  // m_starts[i] is the offset of line i for i <= m_known; the rest is not counted yet.
  std::vector<int64_t> m_starts;
  int m_known = -1;
  // A deletion announced by TextRemoving: its offset and characters, sent once it is made.
  bool m_removalPending = false;
  int m_removalOffset = 0;
  QString m_removedText; // also the whole old text of a pending reset
  bool m_resetPending = false;
  // What the reader was last told of the caret and the selection.
  int m_caretOffset = -1;
  int m_selectionStart = 0;
  int m_selectionEnd = 0;
};

// The accessibility interface of a text view: an editable (or read-only) multi-line text.
class CTextViewAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
  explicit CTextViewAccessible(CTextView* view);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text type) const override;

  // Text: one selection at most.
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                           int* startOffset, int* endOffset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                          int* startOffset, int* endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                       int* endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // Editable text: changes go through the buffer as one undo step each; nothing on a
  // read-only text.
  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
  CTextView* View() const;
  CTextViewAccess& Access() const;
  bool Editable() const;
  // The unit of boundaryType around offset: [start, end).
  void UnitAt(int offset, QAccessible::TextBoundaryType boundaryType, int& start,
              int& end) const;
  // Selects [startOffset, endOffset) with the caret at the end.
  void Select(int startOffset, int endOffset);
};

// Where the views' text events go: to QAccessible, which passes them on while a reader is
// active, or, once a sink is set, to the sink alone (the test seam; an empty sink undoes it).
void SetAccessEventSink(std::function<void(QAccessibleEvent*)> sink);

// Makes the text views known to the accessibility framework (once; any later call does
// nothing).
void InstallTextViewAccessibility();
