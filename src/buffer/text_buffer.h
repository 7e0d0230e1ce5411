#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "buffer_view.h"
#include "cookie_cache.h"
#include "file_error.h"
#include "line_store.h"
#include "text_encoding.h"
#include "text_position.h"
#include "undo_action.h"
#include "undo_record.h"
#include "update_context.h"

// Line flags: numbered bookmarks 0-9 in bits 0-9, then the view-only marks.
inline constexpr uint32_t LF_NUMBERED_BOOKMARK_0 = 0x1; // bookmark n is LF_NUMBERED_BOOKMARK_0 << n
inline constexpr uint32_t LF_HIGHLIGHT1 = 0x10000;      // white on dark green
inline constexpr uint32_t LF_HIGHLIGHT2 = 0x20000;      // white on red
inline constexpr uint32_t LF_MARGIN_MARK = 0x40000;     // margin icon only
inline constexpr uint32_t LF_BOOKMARK = 0x80000;        // unnumbered bookmark
inline constexpr uint32_t LF_HIGHLIGHT3 = 0x100000;     // white on olive
constexpr uint32_t LF_NUMBERED_BOOKMARK(int n) { return LF_NUMBERED_BOOKMARK_0 << n; }

// The text of one document: an array of byte lines with per-line flags, file I/O with
// line-end detection, change notification to the attached views, and grouped undo/redo.
// Bytes are bytes: a line may hold NULs, stray CRs and LFs that are not its style's line end.
//
// Indices: every line index given to an operation must be valid (0 <= line < LineCount();
// SetLineFlag also takes -1), every position must lie in the text (its x within 0..length
// of its line), and a range must not end before it starts. Breaking this is a programmer's
// error: debug builds stop at it (TORVANE_ASSERT). Release builds stay safe: editing
// returns false and changes nothing, the line accessors answer as for an empty line, GetText
// and the bookmark searches clamp to the text, SetLineFlag does nothing.
class CTextBuffer {
public:
  static constexpr int UNDO_LIMIT = 1024;

  CTextBuffer();
  virtual ~CTextBuffer();
  CTextBuffer(const CTextBuffer&) = delete;
  CTextBuffer& operator=(const CTextBuffer&) = delete;

  // Lifecycle.
  bool CreateEmpty(LineEndStyle style = LINE_END_NEW_TEXT);
  bool Load(const std::string& path, LineEndStyle style = LineEndStyle::Automatic);
  // Load in slices: pump is called after each megabyte of the file (a window runs its event
  // loop there). When it returns false the load stops and returns false without touching
  // the buffer again, so the pump may say so because the buffer's owner is going away.
  bool Load(const std::string& path, LineEndStyle style, const std::function<bool()>& pump);
  bool Save(const std::string& path, LineEndStyle style = LineEndStyle::Automatic,
            bool clearModified = true);
  void Clear();
  bool IsInitialised() const;
  // Why the last Load or Save failed (the system's error number and a text to show after
  // "cannot load 'path': "); empty after one that succeeded.
  const FileError& LastFileError() const;

  // Accessors.
  int LineCount() const;
  int LineLength(int line) const;
  const char* LineChars(int line) const; // not NUL-terminated
  uint32_t LineFlags(int line) const;
  LineEndStyle GetLineEndStyle() const;
  bool IsReadOnly() const;
  void SetReadOnly(bool readOnly);
  bool IsModified() const;
  bool GetCreateBackup() const;
  void SetCreateBackup(bool createBackup);

  // Editing. Line breaks in text are CR or CR LF; a lone LF is an ordinary byte. Both return
  // false and change nothing on a read-only buffer or when memory runs out.
  bool InsertText(CBufferView* sourceView, int line, int pos, std::string_view text,
                  int& endLine, int& endChar, UndoAction action = UndoAction::Unknown);
  bool DeleteText(CBufferView* sourceView, int startLine, int startChar, int endLine,
                  int endChar, UndoAction action = UndoAction::Unknown);
  // The range [start, end) with lineEnd between lines.
  std::string GetText(int startLine, int startChar, int endLine, int endChar,
                      std::string_view lineEnd = "\r\n") const;

  // Line flags and bookmarks.
  void SetLineFlag(int line, uint32_t flag, bool set, bool removeFromOtherLine = true);
  int FirstLineWithFlag(uint32_t flag) const;
  int NextBookmarkLine(int line) const;
  int PrevBookmarkLine(int line) const;

  // The character set the bytes are read in: views step, measure and draw by it, and text
  // coming in is converted to it. Set by the document (a load leaves it as it was); a change
  // resets the views (UPD_RESET). The bytes themselves never change with it.
  TextEncoding Encoding() const { return m_encoding; }
  void SetEncoding(TextEncoding encoding);
  // The same as one undoable step, recorded in the open undo group (else a group of its own)
  // and marking the text modified: Undo reads the bytes in the old encoding again, Redo in
  // the new one. False on a read-only text or when the encoding is the one in use.
  bool ChangeEncoding(TextEncoding encoding, UndoAction action = UndoAction::ConvertEncoding);
  // Whether the text holds non-ASCII bytes and whether they are all valid UTF-8.
  Utf8Scan ScanUtf8() const;
  // No byte of the text is non-ASCII: every encoding reads it one byte per character. Known
  // after a ScanUtf8 (or found on first use) and kept through edits; deleting the last
  // non-ASCII byte does not make it true again.
  bool IsAsciiOnly() const;

  // The parse cookies of this text for one colouring (views that colour alike pass the same
  // key), made on first use and kept in step with every change until the buffer goes.
  CCookieCache& CookieCache(const void* colouring);

  // Views.
  void AttachView(CBufferView* view);
  void DetachView(CBufferView* view);
  void NotifyViews(CBufferView* sourceView, const UpdateContext* context, uint32_t hints,
                   int line);
  // Tells every view of a deletion about to be made.
  void NotifyRemoving(const UpdateContext& range);
  // Tells every view that the whole text is about to be replaced or read anew.
  void NotifyReplacing();

  // Undo and redo.
  void OpenUndoGroup(bool merge = false);
  void CloseUndoGroup(CBufferView* view = nullptr);
  bool CanUndo() const;
  bool CanRedo() const;
  bool Undo(TextPosition& cursor);
  bool Redo(TextPosition& cursor);
  std::string UndoDescription() const;
  std::string RedoDescription() const;
  virtual bool ActionDescription(UndoAction action, std::string& text) const;
  int UndoRecordCount() const;
  int UndoPosition() const;
  int SavedPosition() const;

  // Added to the interface.
  // RecordUndo: drops the redo tail, drops the oldest group at the limit, appends a
  // record (text with CR LF between lines). InsertText and DeleteText call it themselves.
  void RecordUndo(bool insert, TextPosition start, TextPosition end, std::string_view text,
                  UndoAction action);
  // The record at index (0 = oldest), or nullptr.
  const CUndoRecord* UndoRecordAt(int index) const;
  bool IsUndoGroupOpen() const;
  // The allocation size of a line's text (capacity rule), 0 for an invalid line.
  int LineCapacity(int line) const;

protected:
  // Called with true by every change while the modified flag is false, with false by a
  // clearing Save and by undo/redo reaching the saved position. The base stores the flag.
  virtual void MarkModified(bool modified);
  // Called once an Undo or a Redo has changed the encoding (after the whole group), for an
  // owner that keeps its own record of the encoding chosen.
  virtual void EncodingReplayed() {}

private:
  bool IsValidLine(int line) const;
  bool IsValidPosition(int line, int pos) const;
  // The changes themselves, without undo records: notify the views and mark modified.
  // segments: the segmentCount line lengths of a text whose lines hold CR bytes (see
  // CUndoRecord), or nullptr to split the text at CR and CR LF.
  bool ApplyInsert(CBufferView* sourceView, int line, int pos, std::string_view text,
                   const int32_t* segments, int segmentCount, int& endLine, int& endChar);
  bool ApplyDelete(CBufferView* sourceView, int startLine, int startChar, int endLine,
                   int endChar);
  // The part of line that lies in the range (start, end) of valid, ordered positions.
  std::string_view RangeSegment(int line, int startLine, int startChar, int endLine,
                                int endChar) const;
  // Puts a new text in place of the old one (whose lines end up in lines, released), with
  // a fresh undo history, and resets the views. Load and CreateEmpty end with it.
  void TakeNewText(CLineStore& lines, LineEndStyle style, bool readOnly);
  // Copies a range into a deletion record (text, and line lengths when needed).
  bool CaptureRange(int startLine, int startChar, int endLine, int endChar, CUndoRecord& record);
  // Records after a change: in the open group, or in a group of its own closed with view.
  void CommitUndo(CUndoRecord&& record, CBufferView* view);
  void PushUndo(CUndoRecord&& record);
  void ResetUndo();
  void UpdateModifiedAfterUndo();
  // Undo and Redo remove a record's range only while it still fits the text.
  bool ReplayDeletion(TextPosition start, TextPosition end);
  void ChangeMade();
  // Every cookie cache follows a change before the views hear of it.
  void CookiesFollow(int line, int added, int removed);

  bool m_initialised = false;
  bool m_readOnly = false;
  bool m_modified = false;
  LineEndStyle m_lineEndStyle = LINE_END_NEW_TEXT;
  bool m_createBackup = false;
  TextEncoding m_encoding = ENC_DEFAULT;
  mutable int m_asciiOnly = 1; // 1 yes, 0 no, -1 not known since the last load
  FileError m_lastFileError;
  CLineStore m_lines;
  std::deque<CUndoRecord> m_undo;
  int m_groupStarts = 0; // records in m_undo that start a group
  int m_undoPosition = 0;
  int m_savedPosition = 0; // -1 once the saved text can no longer be reached by undo/redo
  bool m_groupOpen = false;
  bool m_groupStartPending = false;
  std::vector<CBufferView*> m_views;
  struct CookieCacheEntry {
    const void* colouring;
    std::unique_ptr<CCookieCache> cache;
  };
  std::vector<CookieCacheEntry> m_cookieCaches;
  int m_notifyDepth = 0;      // NotifyViews running (views may detach from OnBufferChanged)
  bool m_viewsDetached = false;
};
