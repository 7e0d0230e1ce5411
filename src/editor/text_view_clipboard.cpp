// The text view: clipboard operations and the drag data of the selection.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "text_view.h"

std::string CCrystalTextView::MimeTextBytes(const QMimeData& data) {
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
// The bytes of the text view as Unicode: one character per byte, ISO 8859-1.
QString FromBytes(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

bool CCrystalTextView::ClipboardHasText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

bool CCrystalTextView::CopyToClipboard(const std::string& text) {
  if (text.empty()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QClipboard* clipboard = QGuiApplication::clipboard();
  auto* data = new QMimeData;
  data->setText(FromBytes(text));
  clipboard->setMimeData(data);
  const QMimeData* now = clipboard->mimeData();
  const bool ok = now && now->hasText();
  QApplication::restoreOverrideCursor();
  return ok;
}

bool CCrystalTextView::TakeFromClipboard(std::string& text) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  text = MimeTextBytes(*data);
  return true;
}

QMimeData* CCrystalTextView::MakeDragData() {
  NormalizeSelection();
  if (m_drawSelStart == m_drawSelEnd) return nullptr;
  std::string text;
  GetTextRange(m_drawSelStart, m_drawSelEnd, text);
  if (text.empty()) return nullptr;
  auto* data = new QMimeData;
  data->setText(FromBytes(text));
  m_draggedTextBegin = m_drawSelStart;
  m_draggedTextEnd = m_drawSelEnd;
  return data;
}

Qt::DropActions CCrystalTextView::GetDragSourceEffects() const { return Qt::CopyAction; }

void CCrystalTextView::OnDragSourceDone(Qt::DropAction effect) { (void)effect; }
