#pragma once
// A shown, focused editing view on a buffer loaded from a file (so its undo list starts empty).
#include <QFile>
#include <QKeyEvent>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "command_ids.h"
#include "edit_view.h"
#include "text_buffer.h"
#include "view_test_support.h"

namespace edittest {

inline std::unique_ptr<CTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text) {
  static int serial = 0;
  const QString path = dir.filePath(QStringLiteral("text%1.inf").arg(++serial));
  QFile file(path);
  const QByteArray crlf = QByteArray(text.data(), qsizetype(text.size())).replace("\n", "\r\n");
  if (!file.open(QIODevice::WriteOnly) || file.write(crlf) != crlf.size()) return nullptr;
  file.close();
  auto buffer = std::make_unique<CTextBuffer>();
  if (!buffer->Load(path.toStdString())) return nullptr;
  return buffer;
}

inline void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&target, &press);
  QApplication::sendEvent(&target, &release);
}
// Presses keys given by name, separated by spaces: Tab S-Tab Del BS C-BS A-BS Ret Enter Ins
// Undo Redo Cut Paste S-Down, or "text" in double quotes, typed one key per character.
inline void PressKeys(QWidget& target, std::string_view keys) {
  static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> names = {
      {"Tab", {Qt::Key_Tab, Qt::NoModifier}},          {"S-Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
      {"Del", {Qt::Key_Delete, Qt::NoModifier}},       {"BS", {Qt::Key_Backspace, Qt::NoModifier}},
      {"C-BS", {Qt::Key_Backspace, Qt::ControlModifier}}, {"A-BS", {Qt::Key_Backspace, Qt::AltModifier}},
      {"Ret", {Qt::Key_Return, Qt::NoModifier}},       {"Enter", {Qt::Key_Enter, Qt::NoModifier}},
      {"Ins", {Qt::Key_Insert, Qt::NoModifier}},       {"Undo", {Qt::Key_Z, Qt::ControlModifier}},
      {"Redo", {Qt::Key_Y, Qt::ControlModifier}},      {"Cut", {Qt::Key_X, Qt::ControlModifier}},
      {"Paste", {Qt::Key_V, Qt::ControlModifier}},     {"S-Down", {Qt::Key_Down, Qt::ShiftModifier}},
  };
  std::size_t i = 0;
  while (i < keys.size()) {
    if (keys[i] == ' ') {
      ++i;
    } else if (keys[i] == '"') {
      const std::size_t end = keys.find('"', i + 1);
      // Printable ASCII comes with its own key code (Qt's codes for it are the ASCII ones).
      for (char c : keys.substr(i + 1, end - i - 1))
        SendKey(target, static_cast<Qt::Key>(QChar(c).toUpper().unicode()), Qt::NoModifier,
                QString(QChar(c)));
      i = end + 1;
    } else {
      const std::size_t end = std::min(keys.find(' ', i), keys.size());
      const auto key = names.find(std::string(keys.substr(i, end - i)));
      if (key == names.end()) ADD_FAILURE() << "no key " << keys.substr(i, end - i);
      else SendKey(target, key->second.first, key->second.second, QString());
      i = end;
    }
  }
}

template <typename T = CEditView>
class EditViewTest : public ::testing::Test {
protected:
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
  std::string Run(std::string_view marked, std::string_view keys) {
    Load(marked);
    Keys(keys);
    return Marked();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendKey(*view, key, modifiers, QString());
  }
  void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
  CCmdUIState Update(int id, bool menuItem = true) {
    CCmdUIState state;
    state.id = id;
    state.isMenuItem = menuItem;
    EXPECT_TRUE(view->OnUpdateCmdUI(id, state)) << "no update handler for " << id;
    return state;
  }
  std::string UndoText() { return Update(Cmd::EDIT_UNDO).text.value_or(""); }

  QTemporaryDir dir;
  std::unique_ptr<CTextBuffer> buffer;
  std::unique_ptr<T> view;
};

} // namespace edittest
