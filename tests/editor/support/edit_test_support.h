#pragma once
// The editing view tests: a shown, focused editing view on a buffer loaded from a file (so its
// undo list starts empty), real key presses by name, and the text with the cursor and the
// selection marked in it.
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

// Writes text ("\n" = line break, written as CR LF) to a file and loads it.
std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text);

// A key press and release through QApplication::notify, as a real key arrives.
void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text);
// Presses keys given by name, separated by spaces: Tab S-Tab Del BS C-BS A-BS Ret Enter Ins
// Undo Redo Cut Paste S-Down, or "text" in double quotes, typed one key per character.
void PressKeys(QWidget& target, std::string_view keys);

// A fixture with one editing view of 640 x 400 pixels, shown and focused, on a loaded buffer.
template <typename T = CCrystalEditView>
class EditViewTest : public ::testing::Test {
protected:
  // Loads marked text and puts the cursor and selection where the marks are.
  void Load(std::string_view marked) {
    TextPosition cursor;
    viewtest::Span selection;
    const std::string text = viewtest::Unmark(marked, cursor, selection);
    // The old buffer stays until the view has left it: a buffer does not detach its views.
    const auto old = std::exchange(buffer, LoadBuffer(dir, text));
    ASSERT_TRUE(buffer);
    if (!view) {
      view = std::make_unique<T>();
      viewtest::ShowView(*view, 640, 400);
    }
    view->AttachBuffer(buffer.get());
    if (selection.first.y >= 0)
      Select(cursor == selection.first ? selection.second : selection.first, cursor);
    else if (cursor.y >= 0)
      Place(cursor);
  }
  std::string Text() const { return viewtest::BufferText(*buffer); }
  std::string Marked() { return viewtest::Marked(*view); }
  TextPosition Cursor() const { return view->GetCursorPosition(); }
  void Select(TextPosition start, TextPosition end) { viewtest::Select(*view, start, end); }
  void Place(TextPosition p) { Select(p, p); }

  void Keys(std::string_view keys) { PressKeys(*view, keys); }
  // Loads marked, presses keys, and gives the marked text then.
  std::string Run(std::string_view marked, std::string_view keys) {
    Load(marked);
    Keys(keys);
    return Marked();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendKey(*view, key, modifiers, QString());
  }
  void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
  // A key press carrying text, as an input method or a keyboard layout delivers it.
  void TypeText(const QString& text) { SendKey(*view, Qt::Key_unknown, Qt::NoModifier, text); }
  // The state an update handler gives a menu item (menuItem) or a toolbar button.
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
