// CCrystalTextBuffer: Load and Save, over text_file_reader/writer.
#include "text_buffer.h"
#include "text_file_io.h"

bool CCrystalTextBuffer::Load(const std::string& path, LineEndStyle style) {
  // Into fresh storage, swapped in only on success: a failed Load changes nothing.
  LineStore fresh;
  LineEndStyle loadedStyle = LineEndStyle::Dos;
  bool readOnly = false;
  if (!ReadTextFile(path, style, fresh, loadedStyle, readOnly)) return false;
  TakeNewText(fresh, loadedStyle, readOnly);
  return true;
}

bool CCrystalTextBuffer::Save(const std::string& path, LineEndStyle style, bool clearModified) {
  if (!m_initialised) return false;
  if (!IsConcreteLineEndStyle(style)) style = m_lineEndStyle;
  if (!WriteTextFile(path, m_lines, LineEndSequence(style), m_createBackup)) return false;
  if (clearModified) {
    MarkModified(false);
    m_savedPosition = m_undoPosition;
  }
  return true;
}
