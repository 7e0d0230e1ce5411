#include "edit_test_support.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

namespace edittest {

std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text) {
  static int serial = 0;
  const QString path = dir.filePath(QStringLiteral("text%1.inf").arg(++serial));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return nullptr;
  std::string crlf;
  for (char c : text) {
    if (c == '\n')
      crlf += "\r\n";
    else
      crlf.push_back(c);
  }
  file.write(crlf.data(), static_cast<qint64>(crlf.size()));
  file.close();
  auto buffer = std::make_unique<CCrystalTextBuffer>();
  if (!buffer->Load(path.toStdString())) return nullptr;
  return buffer;
}

std::string Text(const CCrystalTextBuffer& buffer) {
  const int last = buffer.LineCount() - 1;
  return buffer.GetText(0, 0, last, buffer.LineLength(last), "\n");
}

void ShowAndFocus(QWidget& view, int width, int height) {
  view.resize(width, height);
  view.show();
  (void)QTest::qWaitForWindowExposed(&view);
  view.activateWindow();
  view.setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
}

void SendKey(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  // Through QApplication::notify as a real key press arrives, so that event() and the
  // shortcut override see it too.
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&target, &press);
  QApplication::sendEvent(&target, &release);
}

} // namespace edittest
