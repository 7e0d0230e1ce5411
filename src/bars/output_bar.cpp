#include "output_bar.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "settings_keys.h"

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
  m_limit = static_cast<qsizetype>(SETTING_OUTPUT_LIMIT_KB.defaultValue) * 1024;
  connect(&m_flushTimer, &QTimer::timeout, this, [this] { InsertPending(FLUSH_SLICE); });
}

namespace {

// Characters the text document takes as the end of a line (besides "\n"), and the line
// separator, which it shows as one: each would make one line of output two lines of the
// control, and every later message would point one line off.
bool BreaksLine(QChar c) {
  const char16_t u = c.unicode();
  return u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

void KeepOnOneLine(QString& text) {
  for (QChar& c : text)
    if (c.unicode() >= 0x2028 && BreaksLine(c)) c = QChar::ReplacementCharacter;
}

const QLatin1String TEXT_LINE_NOT_SHOWN(" [the rest of this line is not shown]");

} // namespace

void COutputBar::AppendText(const QByteArray& bytes) {
  QString text = m_decoder.decode(bytes);
  if (text.isEmpty()) return; // a "\r" before stays waiting for its "\n"
  if (m_pendingCr && text.startsWith(QLatin1Char('\n'))) text.remove(0, 1);
  m_pendingCr = text.endsWith(QLatin1Char('\r'));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  KeepOnOneLine(text);
  if (text.isEmpty()) return;
  ScanLines(text);
  m_pending += text;
  Trim();
  if (Pending() && !m_flushTimer.isActive()) m_flushTimer.start(FLUSH_MS);
}

void COutputBar::ScanLines(const QString& text) {
  qsizetype start = 0;
  for (qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0;
       start = end + 1, end = text.indexOf(QLatin1Char('\n'), start)) {
    const QStringView rest = QStringView(text).sliced(start, end - start);
    if (m_longLine) {
      m_reader.SkipLine();
    } else if (m_partialLine.isEmpty()) {
      ScanLine(rest);
    } else {
      m_partialLine += rest;
      ScanLine(m_partialLine);
    }
    m_partialLine.clear();
    m_longLine = false;
    ++m_lineCount;
  }
  if (m_longLine) return;
  m_partialLine += QStringView(text).sliced(start);
  if (m_partialLine.size() > MAX_MESSAGE_LINE) {
    m_longLine = true;
    m_partialLine.clear();
  }
}

void COutputBar::ScanLine(QStringView line) {
  if (m_lineListener) m_lineListener(line);
  // Every message form holds one of these; most output lines hold neither and cost no more.
  if (line.size() > MAX_MESSAGE_LINE ||
      (!line.contains(QLatin1String("rror:")) && !line.contains(QLatin1String("Warning:")))) {
    m_reader.SkipLine();
    return;
  }
  const std::string bytes = line.toUtf8().toStdString();
  if (const std::optional<CompilerMessage> message = m_reader.ReadLine(bytes))
    m_messages.push_back({m_lineCount, message->file, message->line});
}

qsizetype COutputBar::BodyStart() const {
  return HeaderBlocks() > 0 ? document()->firstBlock().length() : 0;
}

int COutputBar::BlockOf(qint64 index) const {
  return static_cast<int>(index - m_dropped) + HeaderBlocks();
}

void COutputBar::Trim() {
  const qsizetype body = document()->characterCount() - 1 - BodyStart();
  const qsizetype kept = body + m_pending.size() - m_pendingStart;
  if (kept <= m_limit) return;
  const bool hadHeader = HeaderBlocks() > 0;
  const qsizetype excess = kept - std::max<qsizetype>(m_limit - m_limit / 8, 1);
  const qsizetype dropped = DropFromDocument(excess);
  if (dropped < excess) DropFromPending(excess - dropped);
  if (m_pendingStart > m_pending.size() / 2) {
    m_pending.remove(0, m_pendingStart);
    m_pendingStart = 0;
  }
  while (!m_messages.empty() && m_messages.front().index < m_dropped) m_messages.pop_front();
  const QString note = m_cutLine ? QStringLiteral("[%1 earlier %2 and the start of the next dropped]")
                                 : QStringLiteral("[%1 earlier %2 dropped]");
  QTextCursor top(document());
  if (hadHeader)
    top.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  top.insertText(note.arg(m_dropped).arg(m_dropped == 1 ? QStringLiteral("line")
                                                        : QStringLiteral("lines")) +
                 (hadHeader ? QString() : QStringLiteral("\n")));
}

qsizetype COutputBar::DropFromDocument(qsizetype excess) {
  // The document's last line is the one being appended, never whole yet.
  const qsizetype start = BodyStart();
  const QTextBlock last = document()->lastBlock();
  const qsizetype whole = last.position() - start;
  if (whole <= 0) return 0;
  const QTextBlock through = whole >= excess ? document()->findBlock(start + excess - 1)
                                             : last.previous();
  const qsizetype end = through.position() + through.length();
  m_dropped += through.blockNumber() - HeaderBlocks() + 1;
  m_cutLine = false;
  QTextCursor cursor(document());
  cursor.setPosition(static_cast<int>(start));
  cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  return end - start;
}

void COutputBar::DropFromPending(qsizetype excess) {
  // What is left: the line being appended, its start shown and the rest waiting, then the
  // lines that wait. The oldest go up to a line end; when none is within reach, the last line
  // is longer than the limit, and exactly the characters that are too many go.
  const QTextBlock last = document()->lastBlock();
  const qsizetype shown = last.length() - 1;
  const qsizetype end = m_pending.indexOf(
      QLatin1Char('\n'), m_pendingStart + std::max<qsizetype>(excess - shown - 1, 0));
  const qsizetype cut = end >= 0 ? shown : std::min(excess, shown);
  const qsizetype to = end >= 0 ? end + 1 : m_pendingStart + excess - cut;
  m_dropped +=
      QStringView(m_pending).sliced(m_pendingStart, to - m_pendingStart).count(QLatin1Char('\n'));
  m_pendingStart = to;
  m_cutLine = end < 0;
  QTextCursor cursor(document());
  cursor.setPosition(last.position());
  cursor.setPosition(static_cast<int>(last.position() + cut), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

void COutputBar::InsertPending(qsizetype limit) {
  m_flushTimer.stop();
  const qsizetype count = std::min(limit, m_pending.size() - m_pendingStart);
  if (count <= 0) return;
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(ShownText(QStringView(m_pending).sliced(m_pendingStart, count)));
  m_pendingStart += count;
  if (m_pendingStart == m_pending.size()) {
    m_pending.clear();
    m_pendingStart = 0;
  } else {
    m_flushTimer.start(0); // the rest on the next turn of the event loop
  }
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QString COutputBar::ShownText(QStringView text) const {
  qsizetype length = document()->lastBlock().length() - 1; // of the line being appended
  QString shown;
  shown.reserve(text.size());
  for (qsizetype start = 0; start <= text.size();) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    const qsizetype stop = end < 0 ? text.size() : end;
    const qsizetype take = std::clamp<qsizetype>(MAX_SHOWN_LINE - length, 0, stop - start);
    shown += text.sliced(start, take);
    length += take;
    if (take < stop - start && length == MAX_SHOWN_LINE) { // once per line
      shown += TEXT_LINE_NOT_SHOWN;
      length += TEXT_LINE_NOT_SHOWN.size();
    }
    if (end < 0) break;
    shown += QLatin1Char('\n');
    length = 0;
    start = end + 1;
  }
  return shown;
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
  m_longLine = false;
  m_reader.Reset();
  m_messages.clear();
  m_dropped = 0;
  m_cutLine = false;
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

bool COutputBar::ActivateLine(int block) {
  return block >= HeaderBlocks() && ActivateMessage(block - HeaderBlocks() + m_dropped);
}

bool COutputBar::ActivateMessage(qint64 index) {
  const auto found =
      std::lower_bound(m_messages.begin(), m_messages.end(), index,
                       [](const MessageLine& message, qint64 i) { return message.index < i; });
  if (found == m_messages.end() || found->index != index) return false;
  if (found->file.empty() && m_source.isEmpty()) return false;
  Flush();
  m_current = index;
  QTextCursor cursor(document()->findBlockByNumber(BlockOf(index)));
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
    if (ActivateMessage(m_messages[i].index)) return true;
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
