#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "text_view.h"

class QMimeData;

// The editing view: a text view that also changes the text. Typed characters, Enter with
// automatic indentation, Delete, Backspace, Tab and Shift+Tab (on one line and on blocks of
// lines), overwrite mode, Cut, Paste, Undo and Redo become InsertText and DeleteText calls
// on the attached buffer, grouped for undo. Every command that changes text first asks
// IsEditable and does nothing on a read-only buffer or without one.
class CEditView : public CTextView {
  Q_OBJECT

public:
  // The Redo menu text when there is nothing to redo: the Edit menu's own item text.
  static constexpr const char* REDO_MENU_DISABLED_TEXT = "&Redo\tCtrl+Y";

  explicit CEditView(QWidget* parent = nullptr);
  ~CEditView() override;

  // ---- Virtual operations ----
  void ResetViewState() override;            // overwrite mode off, then the text view's reset
  Qt::DropActions GetDragSourceEffects() const override; // copy and move
  void OnDragSourceDone(Qt::DropAction effect) override; // a move deletes the dragged text
  void OnBufferChanged(CBufferView* sourceView, const UpdateContext* context, uint32_t hints,
                       int line) override;
  void OnEditPerformed(UndoAction action, std::string_view text) override; // auto indent
  // A buffer is attached and it is not read-only.
  virtual bool IsEditable() const;

  // ---- Operations other parts use ----

  // Deletes the selection (action DeleteSelection) after moving the caret to its start;
  // false when there was none.
  bool EraseSelection();
  // Collapses the selection to p, puts the anchor and the cursor there and scrolls it into
  // view. A position outside the text is brought to the nearest place inside it.
  void MoveCaretTo(TextPosition p);

  bool GetOverwriteMode() const { return m_overwriteMode; }
  void SetOverwriteMode(bool on);

  // Replaces the selection by text: the selection is deleted (eraseAction, its own undo
  // group unless one is open), text goes in at its start (Replace, its own group), and the
  // inserted text is selected with the anchor and the caret at its end. False, changing
  // nothing, without a selection or on a read-only buffer.
  bool ReplaceSelection(std::string_view text,
                        UndoAction eraseAction = UndoAction::DeleteSelection);
  // The text change of ReplaceSelection for [start, end), leaving the caret, the selection
  // and the scroll position to the buffer's notifications; after is where the replacement
  // ends. Replace All makes every replacement but the last this way: selecting and
  // scrolling to each match in turn would move the window once per match, unseen.
  bool ReplaceRange(TextPosition start, TextPosition end, std::string_view text,
                    UndoAction eraseAction, TextPosition& after);
  // Selects a replacement from start to end with the anchor and the caret at its end, and
  // scrolls the end into view.
  void SelectReplacement(TextPosition start, TextPosition end);

  // The Replace dialog keeps the selection it started from while it is open; buffer changes
  // move it along.
  void PushSelection();
  void PopSelection();
  bool IsSelectionPushed() const { return m_selectionPushed; }
  void GetPushedSelection(TextPosition& start, TextPosition& end) const {
    start = m_savedSelStart;
    end = m_savedSelEnd;
  }

  // ---- Dropping text ----

  // The drop caret: a grey bar where a dragged text would go. The normal caret is hidden
  // while it shows and comes back where it was.
  void ShowDropCaret(QPoint point);
  void HideDropCaret();
  bool IsDropCaretShown() const { return m_dropCaretShown; }
  TextPosition GetDropPosition() const { return m_dropPos; }
  // Inserts the text of data at point and selects it; false (nothing inserted) when data has
  // no text, or when this view's own dragged text is dropped onto itself.
  bool DropText(const QMimeData* data, QPoint point);
  // Scrolls by one line or column when point is near an edge of the window.
  void ScrollWhileDragging(QPoint point);

  // ---- Commands ----
  void OnEditDelete();
  void OnEditDeleteBack();
  void OnEditDeleteWordBack();
  void OnEditTab();
  void OnEditUntab();
  void OnEditSwitchOvrmode();
  void OnEditCut();
  void OnEditPaste();
  void OnEditUndo();
  void OnEditRedo();
  // Opens the Replace dialog; nothing on a read-only buffer.
  void OnEditReplace();

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

  // A typed character (Enter is 13). Characters typed while a mouse button is held are
  // ignored.
  void OnChar(unsigned char c) override;
  void OnTypedBytes(std::string_view bytes) override;

  // The lines a block command (Tab, Shift+Tab on a selection spanning lines) works on, and
  // the widened selection it leaves: from column 0 of the first line to column 0 of the line
  // after the last, or to the end of the text when the last line is the text's last line.
  struct BlockRange {
    int firstLine;
    int lastLine;
    TextPosition selStart;
    TextPosition selEnd;
  };
  BlockRange WidenToLines(TextPosition start, TextPosition end) const;
  // Puts the widened selection in place with the cursor at its end.
  void SelectBlock(const BlockRange& block);

private:
  // The editing commands, declared over the text view's; called once, by the constructor.
  void DeclareEditCommands();
  // Entering and moving over the view alike: shows where offered text would go, scrolling
  // near the edges once the drag moves.
  void FollowDrag(QDragMoveEvent* event, bool moving);

  void TypeEnter();
  void TypeCharacter(unsigned char c);
  // Typed bytes (one or more whole characters) in place of the selection, or over the
  // character at the caret in overwrite mode.
  void TypeBytes(std::string_view bytes);
  // Deletes [start, end) with action after moving the caret to start (its own undo group).
  void DeleteRange(TextPosition start, TextPosition end, UndoAction action);
  // Leading characters Shift+Tab removes from a line: spaces up to one tab size, and a tab
  // that ends them before that.
  int UnindentWidth(int line) const;
  // Tab and Shift+Tab on a block from start to end: one undo group, the block selected
  // whole, changeLine run on each of its lines while the horizontal bar holds still.
  void ChangeBlockIndent(TextPosition start, TextPosition end,
                         const std::function<void(int line)>& changeLine);

  bool m_overwriteMode = false;
  // Set between the typed line break and the close of its group: the one moment automatic
  // indentation may act.
  bool m_expectAutoIndent = false;
  // The grey bar's rectangle where a drop would go (empty while it is hidden).
  QRect DropCaretRect();

  // The drop caret and the caret position it hides.
  bool m_dropCaretShown = false;
  TextPosition m_savedCaretPos;
  TextPosition m_dropPos;
  QRect m_dropCaretRect;
  // The selection kept while the Replace dialog is open.
  bool m_selectionPushed = false;
  TextPosition m_savedSelStart;
  TextPosition m_savedSelEnd;
};
