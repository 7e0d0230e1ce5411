#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text_encoding.h"
#include "text_position.h"
#include "undo_action.h"

// Record flags.
inline constexpr uint32_t UNDO_RECORD_INSERT = 0x1;        // an insertion; clear for a deletion
inline constexpr uint32_t UNDO_RECORD_ENCODING = 0x2;      // a change of encoding, no text changed
inline constexpr uint32_t UNDO_RECORD_GROUP_START = 0x100; // first record of a group

// One change written by InsertText or DeleteText: flags, start, end, action, text.
// The text has CR LF between lines and may hold any byte, NUL included. Texts of up to
// INLINE_TEXT bytes (one typed character being the common case) are held inside the record
// itself; longer ones in an allocation the record owns; an empty text is stored as nothing.
//
// A change of encoding (UNDO_RECORD_ENCODING) changes no byte: its text is two bytes, the
// encoding before and the encoding after, and its positions are the start of the text.
//
// A deleted text whose lines hold CR bytes of their own (possible in loaded files: a stray CR
// in a Mac or Dos file, a CR LF inside a Unix line) cannot be split back into the same lines
// by InsertText's rule, so such a record also keeps the length of every deleted line.
class CUndoRecord {
public:
  static constexpr size_t INLINE_TEXT = sizeof(char*);

  CUndoRecord() = default;
  CUndoRecord(uint32_t flags, TextPosition start, TextPosition end, UndoAction action)
      : m_flags(flags), m_start(start), m_end(end), m_action(action) {}
  ~CUndoRecord();
  CUndoRecord(CUndoRecord&& other) noexcept;
  CUndoRecord& operator=(CUndoRecord&& other) noexcept;
  CUndoRecord(const CUndoRecord&) = delete;
  CUndoRecord& operator=(const CUndoRecord&) = delete;

  uint32_t Flags() const { return m_flags; }
  bool IsInsert() const { return (m_flags & UNDO_RECORD_INSERT) != 0; }
  bool StartsGroup() const { return (m_flags & UNDO_RECORD_GROUP_START) != 0; }
  bool IsEncodingChange() const { return (m_flags & UNDO_RECORD_ENCODING) != 0; }
  // The encodings of a change of encoding (ENC_DEFAULT for any other record).
  TextEncoding EncodingBefore() const { return EncodingByte(0); }
  TextEncoding EncodingAfter() const { return EncodingByte(1); }
  TextPosition Start() const { return m_start; }
  TextPosition End() const { return m_end; }
  UndoAction Action() const { return m_action; }

  std::string_view Text() const {
    return {TextIsInline() ? m_inline : m_heap, m_length};
  }
  bool TextIsInline() const { return m_length <= INLINE_TEXT; }

  // Line lengths of a deleted text (End().y - Start().y + 1 of them), or nullptr when the
  // text splits back into its lines by InsertText's rule.
  const int32_t* SegmentLengths() const { return m_segments; }

  void SetEnd(TextPosition end) { m_end = end; }
  void AddFlags(uint32_t flags) { m_flags |= flags; }

  // Room for the text, to be filled by the caller; nullptr when memory runs out.
  char* AllocateText(size_t length);
  // Takes an array allocated with new[].
  void SetSegmentLengths(int32_t* lengths);

private:
  void FreeText();
  TextEncoding EncodingByte(size_t index) const {
    return IsEncodingChange() && m_length == 2 ? static_cast<TextEncoding>(m_inline[index]) : ENC_DEFAULT;
  }

  uint32_t m_flags = 0;
  TextPosition m_start;
  TextPosition m_end;
  UndoAction m_action = UndoAction::Unknown;
  size_t m_length = 0;
  union {
    char m_inline[INLINE_TEXT] = {};
    char* m_heap;
  };
  int32_t* m_segments = nullptr;
};
