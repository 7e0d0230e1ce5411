// CTextBuffer: Load and Save, over text_file_reader/writer.
#include <cerrno>

#include "text_buffer.h"
#include "text_file_io.h"

bool CTextBuffer::Load(const std::string& path, LineEndStyle style) {
  return Load(path, style, {});
}

bool CTextBuffer::Load(const std::string& path, LineEndStyle style,
                              const std::function<bool()>& pump) {
  // Into fresh storage, swapped in only on success: a failed Load changes nothing.
  CLineStore fresh;
  LineEndStyle loadedStyle = LineEndStyle::Dos;
  bool readOnly = false;
  FileError error;
  if (!ReadTextFile(path, style, fresh, loadedStyle, readOnly, &error, pump)) {
    // Stopped by the pump: this buffer may be gone.
    if (error.code == ECANCELED) return false;
    m_lastFileError = std::move(error);
    return false;
  }
  m_lastFileError = FileError{};
  TakeNewText(fresh, loadedStyle, readOnly);
  return true;
}

bool CTextBuffer::Save(const std::string& path, LineEndStyle style, bool clearModified) {
  if (!m_initialised) {
    m_lastFileError = FileError{EINVAL, "there is no text to save"};
    return false;
  }
  if (!IsConcreteLineEndStyle(style)) style = m_lineEndStyle;
  if (!WriteTextFile(path, m_lines, LineEndSequence(style), m_createBackup, &m_lastFileError))
    return false;
  if (clearModified) {
    MarkModified(false);
    m_savedPosition = m_undoPosition;
  }
  return true;
}

const FileError& CTextBuffer::LastFileError() const { return m_lastFileError; }

void CTextBuffer::SetEncoding(TextEncoding encoding) {
  if (encoding == m_encoding) return;
  if (m_initialised) NotifyReplacing();
  m_encoding = encoding;
  if (m_initialised) NotifyViews(nullptr, nullptr, UPD_RESET, -1);
}

Utf8Scan CTextBuffer::ScanUtf8() const {
  Utf8Scan scan;
  const int count = m_lines.Count();
  for (int i = 0; i < count && scan.valid; ++i) {
    const LineRecord& rec = m_lines.At(i);
    scan.Add(std::string_view(rec.text, static_cast<size_t>(rec.length)));
  }
  m_asciiOnly = scan.nonAscii ? 0 : 1;
  return scan;
}

bool CTextBuffer::IsAsciiOnly() const {
  if (m_asciiOnly < 0) {
    m_asciiOnly = 1;
    for (int i = 0; i < m_lines.Count() && m_asciiOnly; ++i) {
      const LineRecord& rec = m_lines.At(i);
      if (!IsAscii(std::string_view(rec.text, static_cast<size_t>(rec.length)))) m_asciiOnly = 0;
    }
  }
  return m_asciiOnly == 1;
}
