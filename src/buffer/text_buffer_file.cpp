// CCrystalTextBuffer: Load and Save, over text_file_reader/writer.
#include <cerrno>

#include "text_buffer.h"
#include "text_file_io.h"

bool CCrystalTextBuffer::Load(const std::string& path, LineEndStyle style) {
  // Into fresh storage, swapped in only on success: a failed Load changes nothing.
  LineStore fresh;
  LineEndStyle loadedStyle = LineEndStyle::Dos;
  bool readOnly = false;
  if (!ReadTextFile(path, style, fresh, loadedStyle, readOnly, &m_lastFileError)) return false;
  TakeNewText(fresh, loadedStyle, readOnly);
  return true;
}

bool CCrystalTextBuffer::Save(const std::string& path, LineEndStyle style, bool clearModified) {
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

const FileError& CCrystalTextBuffer::LastFileError() const { return m_lastFileError; }
