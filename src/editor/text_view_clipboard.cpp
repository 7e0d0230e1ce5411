// The text view: clipboard operations and the drag data of the selection. Text coming in may
// have CR LF, CR or LF between lines; text going out has LF.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "text_view.h"

std::string CTextView::MimeTextBytes(const QMimeData& data) {
  const QByteArray bytes = data.text().toLatin1();
  std::string out;
  out.reserve(static_cast<std::size_t>(bytes.size()));
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
      out += "\r\n";
    } else if (c == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

namespace {
// Text leaving the program (clipboard, drag data): the buffer's bytes as Unicode, one
// character per byte (ISO 8859-1), with this platform's LF between lines instead of CR LF.
QString OutgoingText(const std::string& text) {
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') bytes.push_back(text[i]);
  }
  return QString::fromLatin1(bytes);
}
} // namespace

bool CTextView::ClipboardHasText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

bool CTextView::CopyToClipboard(const std::string& text) {
  if (text.empty()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QClipboard* clipboard = QGuiApplication::clipboard();
  auto* data = new QMimeData;
  data->setText(OutgoingText(text));
  clipboard->setMimeData(data);
  const QMimeData* now = clipboard->mimeData();
  const bool ok = now && now->hasText();
  QApplication::restoreOverrideCursor();
  return ok;
}

bool CTextView::TakeFromClipboard(std::string& text) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  text = MimeTextBytes(*data);
  return true;
}

QMimeData* CTextView::MakeDragData() {
  NormalizeSelection();
  if (m_drawSelStart == m_drawSelEnd) return nullptr;
  std::string text;
  GetTextRange(m_drawSelStart, m_drawSelEnd, text);
  if (text.empty()) return nullptr;
  auto* data = new QMimeData;
  data->setText(OutgoingText(text));
  m_draggedTextBegin = m_drawSelStart;
  m_draggedTextEnd = m_drawSelEnd;
  return data;
}

Qt::DropActions CTextView::GetDragSourceEffects() const { return Qt::CopyAction; }

void CTextView::OnDragSourceDone(Qt::DropAction effect) { (void)effect; }
