#include "output_bar.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "compiler_message.h"

COutputBar::COutputBar(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("OutputControl"));
  setReadOnly(true);
  // Compiler output is kept whole; an undo history of it would only double the memory.
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont font(QStringLiteral("Courier"), 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);
  m_flushTimer.setSingleShot(true);
  m_flushTimer.setInterval(FLUSH_MS);
  connect(&m_flushTimer, &QTimer::timeout, this, &COutputBar::Flush);
}

void COutputBar::AppendText(const QByteArray& bytes) {
  QString text = m_decoder.decode(bytes);
  if (m_pendingCr && text.startsWith(QLatin1Char('\n'))) text.remove(0, 1);
  m_pendingCr = text.endsWith(QLatin1Char('\r'));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  m_pending += text;
  if (!m_pending.isEmpty() && !m_flushTimer.isActive()) m_flushTimer.start();
}

void COutputBar::Flush() {
  m_flushTimer.stop();
  if (m_pending.isEmpty()) return;
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(m_pending);
  m_pending.clear();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QString COutputBar::Text() {
  Flush();
  return toPlainText();
}

void COutputBar::Clear(const QString& source) {
  m_flushTimer.stop();
  m_pending.clear();
  clear();
  m_source = source;
  m_current = -1;
  m_pendingCr = false;
  m_decoder.resetState();
}

bool COutputBar::MessageAt(int index, QString& path, int& line) const {
  const QTextBlock block = document()->findBlockByNumber(index);
  if (!block.isValid()) return false;
  const std::optional<CompilerMessage> message =
      ParseCompilerMessage(block.text().toStdString());
  if (!message) return false;
  if (message->file.empty() && m_source.isEmpty()) return false;
  const QString file =
      message->file.empty() ? m_source : QString::fromStdString(message->file);
  const QDir folder = m_source.isEmpty() ? QDir::current() : QFileInfo(m_source).absoluteDir();
  path = QDir::cleanPath(folder.absoluteFilePath(file));
  line = message->line;
  return true;
}

QList<QPair<QString, int>> COutputBar::Messages() {
  Flush();
  QList<QPair<QString, int>> messages;
  QString path;
  int line = 0;
  for (int i = 0; i < document()->blockCount(); ++i)
    if (MessageAt(i, path, line)) messages.append({path, line});
  return messages;
}

bool COutputBar::ActivateLine(int index) {
  QString path;
  int line = 0;
  if (!MessageAt(index, path, line)) return false;
  m_current = index;
  QTextCursor cursor(document()->findBlockByNumber(index));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
  emit messageActivated(path, line);
  return true;
}

bool COutputBar::Step(int direction) {
  Flush();
  const int count = document()->blockCount();
  int index = m_current < 0 && direction < 0 ? count : m_current;
  for (index += direction; index >= 0 && index < count; index += direction)
    if (ActivateLine(index)) return true;
  return false;
}

bool COutputBar::NextMessage() { return Step(1); }
bool COutputBar::PreviousMessage() { return Step(-1); }

void COutputBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!ActivateLine(cursorForPosition(event->position().toPoint()).blockNumber()))
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void COutputBar::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      ActivateLine(textCursor().blockNumber()))
    return;
  QPlainTextEdit::keyPressEvent(event);
}
