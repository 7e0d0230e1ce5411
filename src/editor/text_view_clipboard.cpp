// The text view: clipboard operations and the drag data of the selection. Text coming in may
// have CR LF, CR or LF between lines; text going out has LF.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "text_view.h"

namespace {
// The buffer's own bytes beside the text, with the encoding they are in as the first byte:
// a copy and paste between texts of one encoding keeps bytes that form no character.
const QString BYTES_FORMAT = QStringLiteral("application/x-torvane-bytes");
} // namespace

std::string CTextView::MimeTextBytes(const QMimeData& data) {
  return MimeTextBytes(data, ENC_DEFAULT, nullptr);
}

std::string CTextView::MimeTextBytes(const QMimeData& data, TextEncoding encoding,
                                     QString* unconvertible) {
  std::string bytes;
  const QByteArray own = data.data(BYTES_FORMAT);
  if (!own.isEmpty() && static_cast<unsigned char>(own[0]) == static_cast<unsigned char>(encoding)) {
    bytes.assign(own.constData() + 1, static_cast<std::size_t>(own.size() - 1));
  } else {
    std::u16string lost;
    const QString text = data.text();
    EncodeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size())),
                encoding, bytes, &lost);
    if (unconvertible)
      *unconvertible = QString(reinterpret_cast<const QChar*>(lost.data()), static_cast<qsizetype>(lost.size()));
  }
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
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
// In another encoding the characters are decoded (bytes that form none as "\xHH" escapes),
// and the bytes themselves go along in BYTES_FORMAT.
QMimeData* OutgoingData(const std::string& text, TextEncoding encoding) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') bytes.push_back(text[i]);
  }
  auto* data = new QMimeData;
  if (encoding == TextEncoding::Iso8859_1) {
    data->setText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
  }
  const std::u16string chars = DecodeToUtf16(bytes, encoding);
  data->setText(QString(reinterpret_cast<const QChar*>(chars.data()), static_cast<qsizetype>(chars.size())));
  QByteArray own(1, static_cast<char>(encoding));
  own.append(text.data(), static_cast<qsizetype>(text.size()));
  data->setData(BYTES_FORMAT, own);
  return data;
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
  clipboard->setMimeData(OutgoingData(text, GetEncoding()));
  const QMimeData* now = clipboard->mimeData();
  const bool ok = now && now->hasText();
  QApplication::restoreOverrideCursor();
  return ok;
}

bool CTextView::TakeFromClipboard(std::string& text) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  QString unconvertible;
  text = MimeTextBytes(*data, GetEncoding(), &unconvertible);
  if (!unconvertible.isEmpty()) {
    ReportUnconvertible(unconvertible);
    text.clear();
    return false;
  }
  return true;
}

QMimeData* CTextView::MakeDragData() {
  NormalizeSelection();
  if (m_drawSelStart == m_drawSelEnd) return nullptr;
  std::string text;
  GetTextRange(m_drawSelStart, m_drawSelEnd, text);
  if (text.empty()) return nullptr;
  QMimeData* data = OutgoingData(text, GetEncoding());
  m_draggedTextBegin = m_drawSelStart;
  m_draggedTextEnd = m_drawSelEnd;
  return data;
}

Qt::DropActions CTextView::GetDragSourceEffects() const { return Qt::CopyAction; }

void CTextView::OnDragSourceDone(Qt::DropAction effect) { (void)effect; }
