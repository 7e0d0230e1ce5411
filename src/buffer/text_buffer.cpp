// CTextBuffer: lifecycle, accessors, the two editing operations, line flags, views.
// Undo and redo are in text_buffer_undo.cpp, Load and Save in text_buffer_file.cpp.
#include "text_buffer.h"

#include "debug_assert.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

bool IsSingleBit(uint32_t flag) { return std::has_single_bit(flag); }

} // namespace

CTextBuffer::CTextBuffer() = default;

CTextBuffer::~CTextBuffer() {
  // A view that outlived its buffer would keep a dangling pointer: tell every attached view.
  // The list is copied because the views detach themselves as they are told.
  const std::vector<CBufferView*> views = m_views;
  for (CBufferView* view : views)
    if (view) view->OnBufferDestroyed();
}

bool CTextBuffer::CreateEmpty(LineEndStyle style) {
  // The old text (if any) is replaced rather than appended to.
  CLineStore fresh;
  LineRecord* rec = fresh.InsertSlots(0, 1);
  if (!rec || !fresh.AllocateOwn(*rec, 0)) return false;
  TakeNewText(fresh, IsConcreteLineEndStyle(style) ? style : LINE_END_NEW_TEXT, false);
  return true;
}

void CTextBuffer::TakeNewText(CLineStore& lines, LineEndStyle style, bool readOnly) {
  if (m_initialised) NotifyReplacing();
  m_lines.Swap(lines);
  lines.Release();
  for (auto& entry : m_cookieCaches) entry.cache->Clear();
  m_lineEndStyle = style;
  m_initialised = true;
  m_readOnly = readOnly;
  m_asciiOnly = -1;
  m_modified = false;
  ResetUndo();
  NotifyViews(nullptr, nullptr, UPD_RESET, -1);
}

void CTextBuffer::Clear() {
  m_lines.Release();
  for (auto& entry : m_cookieCaches) entry.cache->Clear();
  // The history goes too, not left for the next load: an undo position above 0 with an empty
  // list would let CanUndo say yes and Undo read records that are gone.
  ResetUndo();
  m_initialised = false;
}

bool CTextBuffer::IsInitialised() const { return m_initialised; }

int CTextBuffer::LineCount() const { return m_lines.Count(); }

int CTextBuffer::LineLength(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  if (!IsValidLine(line)) return 0;
  return m_lines.At(line).length;
}

const char* CTextBuffer::LineChars(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  if (!IsValidLine(line)) return "";
  return m_lines.At(line).text;
}

uint32_t CTextBuffer::LineFlags(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  if (!IsValidLine(line)) return 0;
  return m_lines.Flags(line);
}

int CTextBuffer::LineCapacity(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  if (!IsValidLine(line)) return 0;
  return m_lines.At(line).capacity;
}

LineEndStyle CTextBuffer::GetLineEndStyle() const { return m_lineEndStyle; }
bool CTextBuffer::IsReadOnly() const { return m_readOnly; }
void CTextBuffer::SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
bool CTextBuffer::IsModified() const { return m_modified; }
bool CTextBuffer::GetCreateBackup() const { return m_createBackup; }
void CTextBuffer::SetCreateBackup(bool createBackup) { m_createBackup = createBackup; }
void CTextBuffer::MarkModified(bool modified) { m_modified = modified; }

bool CTextBuffer::IsValidLine(int line) const {
  return line >= 0 && line < m_lines.Count();
}

bool CTextBuffer::IsValidPosition(int line, int pos) const {
  return IsValidLine(line) && pos >= 0 && pos <= m_lines.At(line).length;
}

void CTextBuffer::ChangeMade() {
  if (!m_modified) MarkModified(true);
}

// ---------------------------------------------------------------------------------------
// Editing

bool CTextBuffer::InsertText(CBufferView* sourceView, int line, int pos,
                                    std::string_view text, int& endLine, int& endChar,
                                    UndoAction action) {
  endLine = line;
  endChar = pos;
  TORVANE_ASSERT(IsValidPosition(line, pos));
  if (m_readOnly || !IsValidPosition(line, pos)) return false;
  // The record's text is copied first, so that a shortage of memory changes nothing, and the
  // insertion is made from that copy: the caller's text may lie in the very line that grows.
  CUndoRecord record(UNDO_RECORD_INSERT, TextPosition(pos, line), TextPosition(), action);
  char* copy = record.AllocateText(text.size());
  if (!copy) return false;
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  int lastLine, lastChar;
  if (!ApplyInsert(sourceView, line, pos, record.Text(), nullptr, 0, lastLine, lastChar))
    return false;
  record.SetEnd(TextPosition(lastChar, lastLine));
  endLine = lastLine;
  endChar = lastChar;
  CommitUndo(std::move(record), sourceView);
  return true;
}

bool CTextBuffer::DeleteText(CBufferView* sourceView, int startLine, int startChar,
                                    int endLine, int endChar, UndoAction action) {
  const bool valid = IsValidPosition(startLine, startChar) && IsValidPosition(endLine, endChar) &&
                     TextPosition(startChar, startLine) <= TextPosition(endChar, endLine);
  TORVANE_ASSERT(valid);
  if (m_readOnly || !valid) return false;
  CUndoRecord record(0, TextPosition(startChar, startLine), TextPosition(endChar, endLine), action);
  if (!CaptureRange(startLine, startChar, endLine, endChar, record)) return false;
  if (!ApplyDelete(sourceView, startLine, startChar, endLine, endChar)) return false;
  CommitUndo(std::move(record), sourceView);
  return true;
}

bool CTextBuffer::ApplyInsert(CBufferView* sourceView, int line, int pos,
                                     std::string_view text, const int32_t* segments,
                                     int segmentCount, int& endLine, int& endChar) {
  if (m_asciiOnly == 1 && !IsAscii(text)) m_asciiOnly = 0;
  // The pieces that go on successive lines.
  std::vector<std::string_view> pieces;
  if (segments) {
    // Line lengths are known: the pieces are separated by CR LF.
    size_t offset = 0;
    pieces.reserve(static_cast<size_t>(segmentCount));
    for (int i = 0; i < segmentCount; ++i) {
      const size_t length = static_cast<size_t>(segments[i]);
      if (offset + length > text.size()) return false;
      pieces.push_back(text.substr(offset, length));
      offset += length + 2;
    }
  } else {
    // A CR ends a piece; one LF directly after it belongs to the break.
    size_t from = 0;
    for (size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', from)) {
      pieces.push_back(text.substr(from, cr - from));
      from = cr + 1;
      if (from < text.size() && text[from] == '\n') ++from;
    }
    pieces.push_back(text.substr(from));
  }
  if (pieces.empty() || !m_lines.InsertLines(line, pos, pieces)) return false;

  const bool newLines = pieces.size() > 1;
  CookiesFollow(line, static_cast<int>(pieces.size()) - 1, 0);
  endLine = line + static_cast<int>(pieces.size()) - 1;
  endChar = static_cast<int>(pieces.back().size()) + (newLines ? 0 : pos);
  const UpdateContext context =
      UpdateContext::Insertion(TextPosition(pos, line), TextPosition(endChar, endLine));
  NotifyViews(sourceView, &context,
              newLines ? UPD_HORZ_EXTENT | UPD_LINE_COUNT : UPD_SINGLE_LINE | UPD_HORZ_EXTENT,
              line);
  ChangeMade();
  return true;
}

bool CTextBuffer::ApplyDelete(CBufferView* sourceView, int startLine, int startChar,
                                     int endLine, int endChar) {
  UpdateContext context = UpdateContext::Deletion(TextPosition(startChar, startLine),
                                                  TextPosition(endChar, endLine));
  NotifyRemoving(context);
  LineRecord& first = m_lines.At(startLine);
  if (startLine == endLine) {
    std::memmove(first.text + startChar, first.text + endChar,
                 static_cast<size_t>(first.length - endChar));
    first.length -= endChar - startChar;
    CookiesFollow(startLine, 0, 0);
    NotifyViews(sourceView, &context, UPD_SINGLE_LINE | UPD_HORZ_EXTENT, startLine);
    ChangeMade();
    return true;
  }
  LineRecord& last = m_lines.At(endLine);
  const int64_t tailLength = last.length - endChar;
  const int64_t newLength = startChar + tailLength;
  if (!m_lines.EnsureCapacity(first, newLength)) return false;
  if (tailLength > 0)
    std::memcpy(first.text + startChar, last.text + endChar, static_cast<size_t>(tailLength));
  first.length = static_cast<int32_t>(newLength);
  for (int i = startLine + 1; i <= endLine; ++i) m_lines.FreeText(m_lines.At(i));
  m_lines.EraseSlots(startLine + 1, endLine - startLine);
  CookiesFollow(startLine, 0, endLine - startLine);
  NotifyViews(sourceView, &context, UPD_HORZ_EXTENT | UPD_LINE_COUNT, startLine);
  ChangeMade();
  return true;
}

std::string_view CTextBuffer::RangeSegment(int line, int startLine, int startChar,
                                                 int endLine, int endChar) const {
  const LineRecord& rec = m_lines.At(line);
  const int from = line == startLine ? startChar : 0;
  const int to = line == endLine ? endChar : rec.length;
  return {rec.text + from, static_cast<size_t>(to - from)};
}

bool CTextBuffer::CaptureRange(int startLine, int startChar, int endLine, int endChar,
                                      CUndoRecord& record) {
  auto segmentOf = [&](int line) {
    return RangeSegment(line, startLine, startChar, endLine, endChar);
  };
  size_t total = 0;
  for (int line = startLine; line <= endLine; ++line) total += segmentOf(line).size();
  total += 2 * static_cast<size_t>(endLine - startLine);
  char* out = record.AllocateText(total);
  if (!out) return false;
  bool holdsCr = false;
  for (int line = startLine; line <= endLine; ++line) {
    std::string_view seg = segmentOf(line);
    if (!seg.empty()) {
      std::memcpy(out, seg.data(), seg.size());
      if (!holdsCr && std::memchr(seg.data(), '\r', seg.size())) holdsCr = true;
      out += seg.size();
    }
    if (line != endLine) {
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  if (holdsCr) {
    auto* lengths = new int32_t[static_cast<size_t>(endLine - startLine) + 1];
    for (int line = startLine; line <= endLine; ++line)
      lengths[line - startLine] = static_cast<int32_t>(segmentOf(line).size());
    record.SetSegmentLengths(lengths);
  }
  return true;
}

std::string CTextBuffer::GetText(int startLine, int startChar, int endLine, int endChar,
                                        std::string_view lineEnd) const {
  TORVANE_ASSERT(IsValidPosition(startLine, startChar) && IsValidPosition(endLine, endChar) &&
                 TextPosition(startChar, startLine) <= TextPosition(endChar, endLine));
  const int count = m_lines.Count();
  if (count == 0) return {};
  auto clamp = [&](int& line, int& ch) {
    line = std::clamp(line, 0, count - 1);
    ch = std::clamp(ch, 0, m_lines.At(line).length);
  };
  clamp(startLine, startChar);
  clamp(endLine, endChar);
  if (TextPosition(endChar, endLine) <= TextPosition(startChar, startLine)) return {};
  auto segmentOf = [&](int line) {
    return RangeSegment(line, startLine, startChar, endLine, endChar);
  };
  size_t total = lineEnd.size() * static_cast<size_t>(endLine - startLine);
  for (int line = startLine; line <= endLine; ++line) total += segmentOf(line).size();
  std::string result;
  result.resize(total);
  char* out = result.data();
  for (int line = startLine; line <= endLine; ++line) {
    const std::string_view seg = segmentOf(line);
    if (!seg.empty()) std::memcpy(out, seg.data(), seg.size());
    out += seg.size();
    if (line != endLine && !lineEnd.empty()) {
      std::memcpy(out, lineEnd.data(), lineEnd.size());
      out += lineEnd.size();
    }
  }
  return result;
}

// ---------------------------------------------------------------------------------------
// Line flags and bookmarks

void CTextBuffer::SetLineFlag(int line, uint32_t flag, bool set, bool removeFromOtherLine) {
  if (!IsSingleBit(flag)) return;
  if (line == -1) {
    line = FirstLineWithFlag(flag);
    if (line == -1) return;
    removeFromOtherLine = false;
  }
  TORVANE_ASSERT(IsValidLine(line));
  if (!IsValidLine(line)) return;
  const uint32_t oldFlags = m_lines.Flags(line);
  const uint32_t newFlags = set ? (oldFlags | flag) : (oldFlags & ~flag);
  if (newFlags == oldFlags) return;
  if (removeFromOtherLine && set) {
    int other = FirstLineWithFlag(flag);
    if (other != -1) {
      m_lines.SetFlags(other, m_lines.Flags(other) & ~flag);
      NotifyViews(nullptr, nullptr, UPD_SINGLE_LINE | UPD_LINE_ATTR, other);
    }
  }
  m_lines.SetFlags(line, newFlags);
  NotifyViews(nullptr, nullptr, UPD_SINGLE_LINE | UPD_LINE_ATTR, line);
}

int CTextBuffer::FirstLineWithFlag(uint32_t flag) const {
  if (!IsSingleBit(flag)) return -1;
  return m_lines.FindFlagged(0, flag, true);
}

int CTextBuffer::NextBookmarkLine(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  const int count = m_lines.Count();
  if (count == 0) return -1;
  line = std::clamp(line, 0, count - 1);
  const int from = (m_lines.Flags(line) & LF_BOOKMARK) ? line + 1 : line;
  const int next = m_lines.FindFlagged(from, LF_BOOKMARK, true);
  return next >= 0 ? next : m_lines.FindFlagged(0, LF_BOOKMARK, true);
}

int CTextBuffer::PrevBookmarkLine(int line) const {
  TORVANE_ASSERT(IsValidLine(line));
  const int count = m_lines.Count();
  if (count == 0) return -1;
  line = std::clamp(line, 0, count - 1);
  const int from = (m_lines.Flags(line) & LF_BOOKMARK) ? line - 1 : line;
  const int previous = m_lines.FindFlagged(from, LF_BOOKMARK, false);
  return previous >= 0 ? previous : m_lines.FindFlagged(count - 1, LF_BOOKMARK, false);
}

// ---------------------------------------------------------------------------------------
// Views

CCookieCache& CTextBuffer::CookieCache(const void* colouring) {
  for (auto& entry : m_cookieCaches)
    if (entry.colouring == colouring) return *entry.cache;
  m_cookieCaches.push_back({colouring, std::make_unique<CCookieCache>()});
  return *m_cookieCaches.back().cache;
}

void CTextBuffer::CookiesFollow(int line, int added, int removed) {
  for (auto& entry : m_cookieCaches) entry.cache->TextChanged(line, added, removed, m_lines.Count());
}

void CTextBuffer::AttachView(CBufferView* view) { m_views.push_back(view); }

void CTextBuffer::DetachView(CBufferView* view) {
  auto it = std::find(m_views.begin(), m_views.end(), view);
  if (it == m_views.end() || view == nullptr) return;
  if (m_notifyDepth > 0) {
    // A view detaching while the views are being notified: leave a hole, closed afterwards.
    *it = nullptr;
    m_viewsDetached = true;
  } else {
    m_views.erase(it);
  }
}

void CTextBuffer::NotifyRemoving(const UpdateContext& range) {
  ++m_notifyDepth;
  for (size_t i = 0; i < m_views.size(); ++i)
    if (CBufferView* view = m_views[i]) view->OnTextRemoving(range);
  if (--m_notifyDepth == 0 && m_viewsDetached) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), nullptr), m_views.end());
    m_viewsDetached = false;
  }
}

void CTextBuffer::NotifyReplacing() {
  ++m_notifyDepth;
  for (size_t i = 0; i < m_views.size(); ++i)
    if (CBufferView* view = m_views[i]) view->OnTextReplacing();
  if (--m_notifyDepth == 0 && m_viewsDetached) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), nullptr), m_views.end());
    m_viewsDetached = false;
  }
}

void CTextBuffer::NotifyViews(CBufferView* sourceView, const UpdateContext* context,
                                     uint32_t hints, int line) {
  ++m_notifyDepth;
  for (size_t i = 0; i < m_views.size(); ++i) {
    if (CBufferView* view = m_views[i]) view->OnBufferChanged(sourceView, context, hints, line);
  }
  if (--m_notifyDepth == 0 && m_viewsDetached) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), nullptr), m_views.end());
    m_viewsDetached = false;
  }
}
