#include "output_bar.h"

#include <algorithm>

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
  connect(&m_flushTimer, &QTimer::timeout, this, [this] { InsertPending(FLUSH_SLICE); });
}

void COutputBar::AppendText(const QByteArray& bytes) {
  QString text = m_decoder.decode(bytes);
  if (m_pendingCr && text.startsWith(QLatin1Char('\n'))) text.remove(0, 1);
  m_pendingCr = text.endsWith(QLatin1Char('\r'));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (text.isEmpty()) return;
  ScanLines(text);
  m_pending += text;
  if (!m_flushTimer.isActive()) m_flushTimer.start(FLUSH_MS);
}

void COutputBar::ScanLines(const QString& text) {
  qsizetype start = 0;
  for (qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0;
       start = end + 1, end = text.indexOf(QLatin1Char('\n'), start)) {
    if (m_partialLine.isEmpty()) {
      ScanLine(QStringView(text).sliced(start, end - start));
    } else {
      m_partialLine += QStringView(text).sliced(start, end - start);
      ScanLine(m_partialLine);
      m_partialLine.clear();
    }
    ++m_lineCount;
  }
  m_partialLine += QStringView(text).sliced(start);
}

void COutputBar::ScanLine(QStringView line) {
  // Every message form holds one of these; most output lines hold neither and cost no more.
  if (!line.contains(QLatin1String("rror:")) && !line.contains(QLatin1String("Warning:")))
    return;
  const std::string bytes = line.toUtf8().toStdString();
  if (const std::optional<CompilerMessage> message = ParseCompilerMessage(bytes))
    m_messages.push_back({m_lineCount, message->file, message->line});
}

void COutputBar::InsertPending(qsizetype limit) {
  m_flushTimer.stop();
  const qsizetype count = std::min(limit, m_pending.size() - m_pendingStart);
  if (count <= 0) return;
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(QStringView(m_pending).sliced(m_pendingStart, count).toString());
  m_pendingStart += count;
  if (m_pendingStart == m_pending.size()) {
    m_pending.clear();
    m_pendingStart = 0;
  } else {
    m_flushTimer.start(0); // the rest on the next turn of the event loop
  }
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void COutputBar::Flush() { InsertPending(m_pending.size()); }

QString COutputBar::Text() {
  Flush();
  return toPlainText();
}

void COutputBar::Clear(const QString& source) {
  m_flushTimer.stop();
  m_pending.clear();
  m_pendingStart = 0;
  clear();
  m_source = source;
  m_current = -1;
  m_pendingCr = false;
  m_decoder.resetState();
  m_lineCount = 0;
  m_partialLine.clear();
  m_messages.clear();
}

QString COutputBar::Resolve(const MessageLine& message) const {
  const QString file = message.file.empty() ? m_source : QString::fromStdString(message.file);
  const QDir folder = m_source.isEmpty() ? QDir::current() : QFileInfo(m_source).absoluteDir();
  return QDir::cleanPath(folder.absoluteFilePath(file));
}

QList<QPair<QString, int>> COutputBar::Messages() const {
  QList<QPair<QString, int>> messages;
  for (const MessageLine& message : m_messages)
    if (!message.file.empty() || !m_source.isEmpty())
      messages.append({Resolve(message), message.line});
  return messages;
}

bool COutputBar::ActivateLine(int index) {
  const auto found =
      std::lower_bound(m_messages.begin(), m_messages.end(), index,
                       [](const MessageLine& message, int i) { return message.index < i; });
  if (found == m_messages.end() || found->index != index) return false;
  if (found->file.empty() && m_source.isEmpty()) return false;
  Flush();
  m_current = index;
  QTextCursor cursor(document()->findBlockByNumber(index));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
  emit messageActivated(Resolve(*found), found->line);
  return true;
}

bool COutputBar::Step(int direction) {
  // From the current message line on (or from either end), the first message that resolves.
  const int count = static_cast<int>(m_messages.size());
  int i = 0;
  if (direction > 0) {
    while (i < count && m_messages[i].index <= m_current) ++i;
  } else {
    i = count - 1;
    while (i >= 0 && m_current >= 0 && m_messages[i].index >= m_current) --i;
  }
  for (; i >= 0 && i < count; i += direction)
    if (ActivateLine(m_messages[i].index)) return true;
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
