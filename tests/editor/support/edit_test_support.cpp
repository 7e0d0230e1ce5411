#include "edit_test_support.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <map>
#include <vector>

namespace edittest {

std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text) {
  static int serial = 0;
  const QString path = dir.filePath(QStringLiteral("text%1.inf").arg(++serial));
  QFile file(path);
  const QByteArray crlf = QByteArray(text.data(), qsizetype(text.size())).replace("\n", "\r\n");
  if (!file.open(QIODevice::WriteOnly) || file.write(crlf) != crlf.size()) return nullptr;
  file.close();
  auto buffer = std::make_unique<CCrystalTextBuffer>();
  if (!buffer->Load(path.toStdString())) return nullptr;
  return buffer;
}

void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&target, &press);
  QApplication::sendEvent(&target, &release);
}

void PressKeys(QWidget& target, std::string_view keys) {
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

} // namespace edittest
