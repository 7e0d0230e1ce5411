#pragma once
// Shared pieces of the editing view tests: a shown, focused editing view on a buffer loaded
// from a file (so its undo list starts empty), real key presses, and reading back the text.
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

#include "command_ids.h"
#include "edit_view.h"
#include "text_buffer.h"
#include "view_test_support.h"

namespace edittest {

using viewtest::Span;

// Writes text ("\n" = line break, written as CR LF) to a file and loads it; the undo list is
// empty and the buffer unmodified.
std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text);

// A key press and release through QApplication::notify, as a real key arrives, so that
// event() and the shortcut override see it too.
void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text);

// A fixture with one editing view of 640 x 400 pixels, shown and focused, on a loaded
// buffer. T may be a subclass of CCrystalEditView.
template <typename T = CCrystalEditView>
class EditViewTest : public ::testing::Test {
protected:
  void Load(std::string_view text) {
    // The old buffer stays until the view has left it: a buffer does not detach its views.
    const auto old = std::exchange(buffer, LoadBuffer(dir, text));
    if (!buffer && view) view->DetachBuffer();
    ASSERT_TRUE(buffer);
    if (!view) {
      view = std::make_unique<T>();
      viewtest::ShowView(*view, 640, 400);
    }
    view->AttachBuffer(buffer.get());
  }
  std::string Text() const { return viewtest::BufferText(*buffer); }
  // The text with '|' where the cursor is.
  std::string Marked() const {
    std::string text = Text();
    const TextPosition c = Cursor();
    std::size_t at = 0;
    for (int line = 0; line < c.y; ++line) at = text.find('\n', at) + 1;
    return text.insert(at + static_cast<std::size_t>(c.x), 1, '|');
  }
  TextPosition Cursor() const { return view->GetCursorPosition(); }
  Span Sel() { return viewtest::Bounds(*view); }
  void Select(TextPosition start, TextPosition end) { viewtest::Select(*view, start, end); }
  void Place(TextPosition p) { Select(p, p); }

  // Key presses through the view's own key handling.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendKey(*view, key, modifiers, QString());
  }
  void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
  void Redo() { Key(Qt::Key_Y, Qt::ControlModifier); }
  // One key press per character; printable ASCII comes with its own key code (Qt's codes
  // for space, digits, punctuation and capital letters are the ASCII ones).
  void Type(const QString& text) {
    for (QChar c : text) {
      const bool ascii = c.unicode() >= 0x20 && c.unicode() < 0x7F;
      SendKey(*view, ascii ? static_cast<Qt::Key>(c.toUpper().unicode()) : Qt::Key_unknown,
              Qt::NoModifier, QString(c));
    }
  }
  // A key press carrying text, as an input method or a keyboard layout delivers it.
  void TypeText(const QString& text) { SendKey(*view, Qt::Key_unknown, Qt::NoModifier, text); }
  // The state an update handler gives a menu item (isMenuItem) or a toolbar button.
  CCmdUIState Update(int id, bool menuItem = true) {
    CCmdUIState state;
    state.id = id;
    state.isMenuItem = menuItem;
    EXPECT_TRUE(view->OnUpdateCmdUI(id, state)) << "no update handler for " << id;
    return state;
  }
  std::string UndoText() { return Update(Cmd::EDIT_UNDO).text.value_or(""); }

  QTemporaryDir dir;
  std::unique_ptr<CCrystalTextBuffer> buffer;
  std::unique_ptr<T> view;
};

} // namespace edittest
