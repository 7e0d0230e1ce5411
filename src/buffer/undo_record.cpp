#include "undo_record.h"

#include <cstdlib>
#include <cstring>
#include <utility>

CUndoRecord::~CUndoRecord() { FreeText(); }

void CUndoRecord::FreeText() {
  if (!TextIsInline()) std::free(m_heap);
  delete[] m_segments;
  m_length = 0;
  m_segments = nullptr;
}

// A new record owns nothing yet, so the assignment's FreeText has nothing to free.
CUndoRecord::CUndoRecord(CUndoRecord&& other) noexcept { *this = std::move(other); }

CUndoRecord& CUndoRecord::operator=(CUndoRecord&& other) noexcept {
  if (this != &other) {
    FreeText();
    m_flags = other.m_flags;
    m_start = other.m_start;
    m_end = other.m_end;
    m_action = other.m_action;
    m_length = other.m_length;
    m_segments = other.m_segments;
    std::memcpy(m_inline, other.m_inline, INLINE_TEXT); // the inline bytes or the pointer
    other.m_length = 0;
    other.m_segments = nullptr;
  }
  return *this;
}

char* CUndoRecord::AllocateText(size_t length) {
  FreeText();
  if (length <= INLINE_TEXT) {
    m_length = length;
    return m_inline;
  }
  auto* text = static_cast<char*>(std::malloc(length));
  if (!text) return nullptr;
  m_heap = text;
  m_length = length;
  return text;
}

void CUndoRecord::SetSegmentLengths(int32_t* lengths) {
  delete[] m_segments;
  m_segments = lengths;
}
