// CCrystalTextBuffer: lifecycle, accessors, the two editing operations, line flags, views.
// Undo and redo are in text_buffer_undo.cpp, Load and Save in text_buffer_file.cpp.
#include "text_buffer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// Many new lines at once (a paste, the undo of a large deletion) share one allocation.
constexpr int64_t BATCH_FROM_LINES = 32;

bool IsSingleBit(uint32_t flag) { return std::has_single_bit(flag); }

} // namespace

CCrystalTextBuffer::CCrystalTextBuffer() = default;

CCrystalTextBuffer::~CCrystalTextBuffer() {
  // A view that outlived its buffer would keep a dangling pointer: tell every attached view.
  // The list is copied because the views detach themselves as they are told.
  const std::vector<CBufferView*> views = m_views;
  for (CBufferView* view : views)
    if (view) view->OnBufferDestroyed();
}

bool CCrystalTextBuffer::CreateEmpty(LineEndStyle style) {
  // The old text (if any) is replaced rather than appended to.
  LineStore fresh;
  LineRecord* rec = fresh.InsertSlots(0, 1);
  if (!rec || !fresh.AllocateOwn(*rec, 0)) return false;
  rec->flags = 0;
  TakeNewText(fresh, IsConcreteLineEndStyle(style) ? style : LineEndStyle::Dos, false);
  return true;
}

void CCrystalTextBuffer::TakeNewText(LineStore& lines, LineEndStyle style, bool readOnly) {
  m_lines.Swap(lines);
  lines.Release();
  m_lineEndStyle = style;
  m_initialised = true;
  m_readOnly = readOnly;
  m_modified = false;
  ResetUndo();
  NotifyViews(nullptr, nullptr, UPD_RESET, -1);
}

void CCrystalTextBuffer::Clear() {
  m_lines.Release();
  // The history goes too, not left for the next load: an undo position above 0 with an empty
  // list would let CanUndo say yes and Undo read records that are gone.
  ResetUndo();
  m_initialised = false;
}

bool CCrystalTextBuffer::IsInitialised() const { return m_initialised; }

int CCrystalTextBuffer::LineCount() const { return m_lines.Count(); }

int CCrystalTextBuffer::LineLength(int line) const {
  if (line < 0 || line >= m_lines.Count()) return 0;
  return m_lines.At(line).length;
}

const char* CCrystalTextBuffer::LineChars(int line) const {
  if (line < 0 || line >= m_lines.Count()) return "";
  return m_lines.At(line).text;
}

uint32_t CCrystalTextBuffer::LineFlags(int line) const {
  if (line < 0 || line >= m_lines.Count()) return 0;
  return m_lines.At(line).flags;
}

int CCrystalTextBuffer::LineCapacity(int line) const {
  if (line < 0 || line >= m_lines.Count()) return 0;
  return m_lines.At(line).capacity;
}

LineEndStyle CCrystalTextBuffer::GetLineEndStyle() const { return m_lineEndStyle; }
bool CCrystalTextBuffer::IsReadOnly() const { return m_readOnly; }
void CCrystalTextBuffer::SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
bool CCrystalTextBuffer::IsModified() const { return m_modified; }
bool CCrystalTextBuffer::GetCreateBackup() const { return m_createBackup; }
void CCrystalTextBuffer::SetCreateBackup(bool createBackup) { m_createBackup = createBackup; }
void CCrystalTextBuffer::MarkModified(bool modified) { m_modified = modified; }

bool CCrystalTextBuffer::IsValidPosition(int line, int pos) const {
  return line >= 0 && line < m_lines.Count() && pos >= 0 && pos <= m_lines.At(line).length;
}

void CCrystalTextBuffer::ChangeMade() {
  if (!m_modified) MarkModified(true);
}

// ---------------------------------------------------------------------------------------
// Editing

bool CCrystalTextBuffer::InsertText(CBufferView* sourceView, int line, int pos,
                                    std::string_view text, int& endLine, int& endChar,
                                    UndoAction action) {
  endLine = line;
  endChar = pos;
  if (m_readOnly || !IsValidPosition(line, pos)) return false;
  // The record's text is copied first, so that a shortage of memory changes nothing.
  UndoRecord record(UNDO_RECORD_INSERT, TextPosition(pos, line), TextPosition(), action);
  char* copy = record.AllocateText(text.size());
  if (!copy) return false;
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  int lastLine, lastChar;
  if (!ApplyInsert(sourceView, line, pos, text, nullptr, 0, lastLine, lastChar)) return false;
  record.SetEnd(TextPosition(lastChar, lastLine));
  endLine = lastLine;
  endChar = lastChar;
  CommitUndo(std::move(record), sourceView);
  return true;
}

bool CCrystalTextBuffer::DeleteText(CBufferView* sourceView, int startLine, int startChar,
                                    int endLine, int endChar, UndoAction action) {
  if (m_readOnly || !IsValidPosition(startLine, startChar) || !IsValidPosition(endLine, endChar))
    return false;
  if (TextPosition(endChar, endLine) < TextPosition(startChar, startLine)) return false;
  UndoRecord record(0, TextPosition(startChar, startLine), TextPosition(endChar, endLine), action);
  if (!CaptureRange(startLine, startChar, endLine, endChar, record)) return false;
  if (!ApplyDelete(sourceView, startLine, startChar, endLine, endChar)) return false;
  CommitUndo(std::move(record), sourceView);
  return true;
}

bool CCrystalTextBuffer::ApplyInsert(CBufferView* sourceView, int line, int pos,
                                     std::string_view text, const int32_t* segments,
                                     int segmentCount, int& endLine, int& endChar) {
  // Split the text into the pieces that go on successive lines.
  std::vector<std::string_view> pieces;
  if (segments) {
    // Line lengths are known: the pieces are separated by CR LF.
    size_t offset = 0;
    pieces.reserve(static_cast<size_t>(segmentCount));
    for (int i = 0; i < segmentCount; ++i) {
      size_t length = static_cast<size_t>(segments[i]);
      if (offset + length > text.size()) return false;
      pieces.emplace_back(text.substr(offset, length));
      offset += length + 2;
    }
  } else {
    const char* p = text.data();
    const char* end = p + text.size();
    const char* cr = text.empty() ? nullptr : static_cast<const char*>(std::memchr(p, '\r', end - p));
    if (cr) {
      while (cr) {
        pieces.emplace_back(p, static_cast<size_t>(cr - p));
        p = cr + 1;
        if (p < end && *p == '\n') ++p; // one LF directly after the CR belongs to the break
        cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
      }
      pieces.emplace_back(p, static_cast<size_t>(end - p));
    }
  }

  UpdateContext context;

  if (pieces.size() <= 1) {
    LineRecord& target = m_lines.At(line);
    // Within one line.
    int64_t newLength = int64_t{target.length} + static_cast<int64_t>(text.size());
    if (newLength > MAX_LINE_LENGTH || !m_lines.EnsureCapacity(target, newLength)) return false;
    size_t n = text.size();
    if (n > 0) {
      std::memmove(target.text + pos + n, target.text + pos,
                   static_cast<size_t>(target.length - pos));
      std::memcpy(target.text + pos, text.data(), n);
    }
    target.length = static_cast<int32_t>(newLength);
    endLine = line;
    endChar = pos + static_cast<int>(n);
    context = UpdateContext::Insertion(TextPosition(pos, line), TextPosition(endChar, line));
    NotifyViews(sourceView, &context, UPD_SINGLE_LINE | UPD_HORZ_EXTENT, line);
    ChangeMade();
    return true;
  }

  // Across lines: the first piece joins the head of the target line, the last piece takes
  // the tail, the others become lines of their own. Everything that can fail comes first.
  const int64_t added = static_cast<int64_t>(pieces.size()) - 1;
  if (added > INT32_MAX - int64_t{m_lines.Count()}) return false;
  // Reserved first: growing the record array moves the records.
  if (!m_lines.ReserveSlots(static_cast<int>(added))) return false;
  LineRecord& target = m_lines.At(line);
  const int64_t tailLength = target.length - pos;
  const std::string_view first = pieces.front();
  const std::string_view last = pieces.back();
  const int64_t headLength = pos + static_cast<int64_t>(first.size());
  const int64_t lastLength = static_cast<int64_t>(last.size()) + tailLength;
  if (headLength > MAX_LINE_LENGTH || lastLength > MAX_LINE_LENGTH) return false;
  for (size_t i = 1; i + 1 < pieces.size(); ++i)
    if (static_cast<int64_t>(pieces[i].size()) > MAX_LINE_LENGTH) return false;

  std::vector<LineRecord> made(static_cast<size_t>(added));
  auto lengthOf = [&](size_t i) -> int64_t { // i-th new line, 0-based
    return i + 1 == made.size() ? lastLength : static_cast<int64_t>(pieces[i + 1].size());
  };
  bool allocated = true;
  if (added >= BATCH_FROM_LINES) {
    int64_t bytes = 0;
    for (size_t i = 0; i < made.size(); ++i) bytes += CapacityFor(lengthOf(i));
    allocated = m_lines.OpenBatch(bytes);
    if (allocated) {
      for (size_t i = 0; i < made.size(); ++i) m_lines.AllocateInBatch(made[i], lengthOf(i));
      m_lines.CloseBatch();
    }
  } else {
    for (size_t i = 0; i < made.size() && allocated; ++i) {
      if (!m_lines.AllocateOwn(made[i], lengthOf(i))) {
        for (size_t j = 0; j < i; ++j) m_lines.FreeText(made[j]);
        allocated = false;
      }
    }
  }
  if (!allocated) return false;
  for (size_t i = 0; i + 1 < made.size(); ++i) {
    if (!pieces[i + 1].empty())
      std::memcpy(made[i].text, pieces[i + 1].data(), pieces[i + 1].size());
    made[i].flags = 0;
  }
  LineRecord& lastMade = made.back();
  if (!last.empty()) std::memcpy(lastMade.text, last.data(), last.size());
  if (tailLength > 0)
    std::memcpy(lastMade.text + last.size(), target.text + pos, static_cast<size_t>(tailLength));
  lastMade.flags = 0;

  if (!m_lines.EnsureCapacity(target, headLength)) {
    for (LineRecord& rec : made) m_lines.FreeText(rec);
    return false;
  }
  if (!first.empty()) std::memcpy(target.text + pos, first.data(), first.size());
  target.length = static_cast<int32_t>(headLength);

  LineRecord* slots = m_lines.InsertSlots(line + 1, static_cast<int>(added)); // reserved
  std::memcpy(slots, made.data(), sizeof(LineRecord) * made.size());

  endLine = line + static_cast<int>(added);
  endChar = static_cast<int>(last.size());
  context = UpdateContext::Insertion(TextPosition(pos, line), TextPosition(endChar, endLine));
  NotifyViews(sourceView, &context, UPD_HORZ_EXTENT | UPD_LINE_COUNT, line);
  ChangeMade();
  return true;
}

bool CCrystalTextBuffer::ApplyDelete(CBufferView* sourceView, int startLine, int startChar,
                                     int endLine, int endChar) {
  UpdateContext context = UpdateContext::Deletion(TextPosition(startChar, startLine),
                                                  TextPosition(endChar, endLine));
  LineRecord& first = m_lines.At(startLine);
  if (startLine == endLine) {
    std::memmove(first.text + startChar, first.text + endChar,
                 static_cast<size_t>(first.length - endChar));
    first.length -= endChar - startChar;
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
  NotifyViews(sourceView, &context, UPD_HORZ_EXTENT | UPD_LINE_COUNT, startLine);
  ChangeMade();
  return true;
}

std::string_view CCrystalTextBuffer::RangeSegment(int line, int startLine, int startChar,
                                                 int endLine, int endChar) const {
  const LineRecord& rec = m_lines.At(line);
  const int from = line == startLine ? startChar : 0;
  const int to = line == endLine ? endChar : rec.length;
  return {rec.text + from, static_cast<size_t>(to - from)};
}

bool CCrystalTextBuffer::CaptureRange(int startLine, int startChar, int endLine, int endChar,
                                      UndoRecord& record) {
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

std::string CCrystalTextBuffer::GetText(int startLine, int startChar, int endLine, int endChar,
                                        std::string_view lineEnd) const {
  // Out-of-range positions are clamped to the text.
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

void CCrystalTextBuffer::SetLineFlag(int line, uint32_t flag, bool set, bool removeFromOtherLine) {
  if (!IsSingleBit(flag)) return;
  if (line == -1) {
    line = FirstLineWithFlag(flag);
    if (line == -1) return;
    removeFromOtherLine = false;
  }
  if (line < 0 || line >= m_lines.Count()) return;
  const uint32_t oldFlags = m_lines.At(line).flags;
  const uint32_t newFlags = set ? (oldFlags | flag) : (oldFlags & ~flag);
  if (newFlags == oldFlags) return;
  if (removeFromOtherLine && set) {
    int other = FirstLineWithFlag(flag);
    if (other != -1) {
      m_lines.At(other).flags &= ~flag;
      NotifyViews(nullptr, nullptr, UPD_SINGLE_LINE | UPD_LINE_ATTR, other);
    }
  }
  m_lines.At(line).flags = newFlags;
  NotifyViews(nullptr, nullptr, UPD_SINGLE_LINE | UPD_LINE_ATTR, line);
}

int CCrystalTextBuffer::FirstLineWithFlag(uint32_t flag) const {
  if (!IsSingleBit(flag)) return -1;
  const int count = m_lines.Count();
  for (int i = 0; i < count; ++i)
    if (m_lines.At(i).flags & flag) return i;
  return -1;
}

int CCrystalTextBuffer::NextBookmarkLine(int line) const {
  const int count = m_lines.Count();
  if (count == 0) return -1;
  line = std::clamp(line, 0, count - 1);
  int from = (m_lines.At(line).flags & LF_BOOKMARK) ? line + 1 : line;
  for (int i = from; i < count; ++i)
    if (m_lines.At(i).flags & LF_BOOKMARK) return i;
  for (int i = 0; i < count; ++i)
    if (m_lines.At(i).flags & LF_BOOKMARK) return i;
  return -1;
}

int CCrystalTextBuffer::PrevBookmarkLine(int line) const {
  const int count = m_lines.Count();
  if (count == 0) return -1;
  line = std::clamp(line, 0, count - 1);
  int from = (m_lines.At(line).flags & LF_BOOKMARK) ? line - 1 : line;
  for (int i = from; i >= 0; --i)
    if (m_lines.At(i).flags & LF_BOOKMARK) return i;
  for (int i = count - 1; i >= 0; --i)
    if (m_lines.At(i).flags & LF_BOOKMARK) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------
// Views

void CCrystalTextBuffer::AttachView(CBufferView* view) { m_views.push_back(view); }

void CCrystalTextBuffer::DetachView(CBufferView* view) {
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

void CCrystalTextBuffer::NotifyViews(CBufferView* sourceView, const UpdateContext* context,
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
