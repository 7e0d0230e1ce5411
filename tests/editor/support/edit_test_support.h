#pragma once
// Shared pieces of the editing view tests: a shown, focused editing view on a buffer loaded
// from a file (so its undo list starts empty), real key presses, and reading back the text.
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

#include "edit_view.h"
#include "text_buffer.h"

namespace edittest {

// Writes text ("\n" = line break, written as CR LF) to a file and loads it; the undo list is
// empty and the buffer unmodified.
std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text);

// The whole text with "\n" between lines.
std::string Text(const CCrystalTextBuffer& buffer);

// A fixture with one editing view of 640 x 400 pixels, shown and focused, on a loaded
// buffer. T may be a subclass of CCrystalEditView.
template <typename T = CCrystalEditView>
class EditViewTest : public ::testing::Test {
protected:
  void Load(std::string_view text);
  std::string Text() const { return edittest::Text(*buffer); }
  TextPosition Cursor() const { return view->GetCursorPosition(); }
  void Select(TextPosition start, TextPosition end);
  void Place(TextPosition p) { Select(p, p); }

  // Key presses through the view's own key handling.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void Type(const QString& text); // one key press per character
  // A key press carrying text, as an input method or a keyboard layout delivers it.
  void TypeText(const QString& text);
  // The state an update handler gives a menu item (isMenuItem) or a toolbar button.
  CCmdUIState Update(int id, bool menuItem = true);

  QTemporaryDir dir;
  std::unique_ptr<CCrystalTextBuffer> buffer;
  std::unique_ptr<T> view;
};

// Shows the view as a top-level window with the keyboard focus.
void ShowAndFocus(QWidget& view, int width, int height);
void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text);

template <typename T>
void EditViewTest<T>::Load(std::string_view text) {
  buffer = LoadBuffer(dir, text);
  ASSERT_TRUE(buffer);
  if (!view) {
    view = std::make_unique<T>();
    ShowAndFocus(*view, 640, 400);
  }
  view->AttachBuffer(buffer.get());
}

template <typename T>
void EditViewTest<T>::Select(TextPosition start, TextPosition end) {
  view->SetAnchor(start);
  view->SetSelection(start, end);
  view->PlaceCursor(end);
}

template <typename T>
void EditViewTest<T>::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  SendKey(*view, key, modifiers, QString());
}

template <typename T>
void EditViewTest<T>::Type(const QString& text) {
  for (QChar c : text) {
    Qt::Key key = Qt::Key_unknown;
    if (c.isLetter() && c.unicode() < 0x80) key = static_cast<Qt::Key>(c.toUpper().unicode());
    else if (c == ' ') key = Qt::Key_Space;
    else if (c.unicode() >= 0x21 && c.unicode() < 0x80) key = static_cast<Qt::Key>(c.unicode());
    SendKey(*view, key, Qt::NoModifier, QString(c));
  }
}

template <typename T>
void EditViewTest<T>::TypeText(const QString& text) {
  SendKey(*view, Qt::Key_unknown, Qt::NoModifier, text);
}

template <typename T>
CCmdUIState EditViewTest<T>::Update(int id, bool menuItem) {
  CCmdUIState state;
  state.id = id;
  state.isMenuItem = menuItem;
  EXPECT_TRUE(view->OnUpdateCmdUI(id, state)) << "no update handler for " << id;
  return state;
}

} // namespace edittest
