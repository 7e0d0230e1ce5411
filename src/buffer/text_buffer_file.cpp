// CCrystalTextBuffer: Load and Save, over text_file_reader/writer.
#include "text_buffer.h"
#include "text_file_io.h"

bool CCrystalTextBuffer::Load(const std::string& path, LineEndStyle style) {
  // Into fresh storage, swapped in only on success: a failed Load changes nothing.
  LineStore fresh;
  LineEndStyle loadedStyle = LineEndStyle::Dos;
  bool readOnly = false;
  if (!ReadTextFile(path, style, fresh, loadedStyle, readOnly)) return false;
  m_lines.Swap(fresh);
  fresh.Release();
  m_lineEndStyle = loadedStyle;
  m_initialised = true;
  m_readOnly = readOnly;
  m_modified = false;
  ResetUndo();
  NotifyViews(nullptr, nullptr, UPD_RESET, -1);
  return true;
}

bool CCrystalTextBuffer::Save(const std::string& path, LineEndStyle style, bool clearModified) {
  if (!m_initialised) return false;
  if (style != LineEndStyle::Dos && style != LineEndStyle::Unix && style != LineEndStyle::Mac)
    style = m_lineEndStyle;
  if (!WriteTextFile(path, m_lines, LineEndSequence(style), m_createBackup)) return false;
  if (clearModified) {
    MarkModified(false);
    m_savedPosition = m_undoPosition;
  }
  return true;
}
