#include "edit_test_support.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

namespace edittest {

std::unique_ptr<CCrystalTextBuffer> LoadBuffer(const QTemporaryDir& dir, std::string_view text) {
  static int serial = 0;
  const QString path = dir.filePath(QStringLiteral("text%1.inf").arg(++serial));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return nullptr;
  const QByteArray crlf = QByteArray(text.data(), static_cast<qsizetype>(text.size()))
                              .replace("\n", "\r\n");
  if (file.write(crlf) != crlf.size()) return nullptr;
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

} // namespace edittest
