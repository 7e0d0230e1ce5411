#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "debug_assert.h"
#include "line_keyed_list.h"

// One line of the buffer (LineRecord): text, length, capacity. Its flags are kept by the
// store beside the records (most lines have none), and whether its text lives in a shared
// chunk or in an allocation of its own (malloc) follows from the text's address.
// capacity is CapacityFor(n) for the length n the allocation was sized for, so there is room
// for at least one more byte; only a line packed into a chunk by a load has no more room than
// its length.
struct LineRecord {
  char* text;
  int32_t length;
  int32_t capacity;
};

// The capacity rule: (n / 16 + 1) * 16. 0 gives 16, 15 gives 16, 16 gives 32.
constexpr int64_t CapacityFor(int64_t length) { return (length / 16 + 1) * 16; }

// Longest line a store accepts by default: its capacity must still fit an int32.
inline constexpr int64_t MAX_LINE_LENGTH = INT32_MAX - 16;

// The line array of one buffer. Records sit in a gap array (a gap buffer of records), so that
// inserting or removing lines near the last edit costs the same whatever the line count.
// Line texts are allocated either one by one (malloc, capacity rule) or, for a file being
// loaded (tightly) and for many lines inserted at once (capacity rule), packed into shared
// chunks; a chunk is released when its last line leaves it. A line in a chunk moves to its
// own allocation only when it must grow beyond its capacity.
class CLineStore {
public:
  CLineStore() = default;
  ~CLineStore();
  CLineStore(const CLineStore&) = delete;
  CLineStore& operator=(const CLineStore&) = delete;

  void Swap(CLineStore& other) noexcept;
  void Release(); // frees every text and record

  int Count() const { return m_count; }
  // The longest line this store accepts (MAX_LINE_LENGTH unless set lower, as tests do).
  int64_t MaxLineLength() const { return m_maxLineLength; }
  void SetMaxLineLength(int64_t length) { m_maxLineLength = length; }
  LineRecord& At(int i) {
    TORVANE_ASSERT(i >= 0 && i < m_count);
    return m_records[i < m_gapStart ? i : i + m_gapLength];
  }
  const LineRecord& At(int i) const {
    TORVANE_ASSERT(i >= 0 && i < m_count);
    return m_records[i < m_gapStart ? i : i + m_gapLength];
  }

  // Line flags: 0 for a line that has none. The flags move with their line when lines are
  // inserted or removed above it; a new line has none.
  uint32_t Flags(int line) const { return m_flags.At(line); }
  void SetFlags(int line, uint32_t flags) { m_flags.Set(line, flags); }
  // The nearest line with one of mask's bits at or after from (forward) or at or before it;
  // -1 when there is none (from may lie outside the lines).
  int FindFlagged(int from, uint32_t mask, bool forward) const;

  // Opens count uninitialised record slots at index at (0 <= at <= Count()) and returns them;
  // they are contiguous. Returns nullptr (nothing changed) when memory runs out.
  LineRecord* InsertSlots(int at, int count);
  // Removes count records starting at at; their texts must have been freed already.
  void EraseSlots(int at, int count);
  // Makes sure that InsertSlots of up to count slots cannot fail.
  bool ReserveSlots(int count);

  // Inserts a text given as its line pieces at (pos, line): the first piece goes into line at
  // pos, each further piece starts a new line (without flags) after it, and what followed pos
  // ends the last one. All or nothing: false, with nothing changed, when memory runs out or a
  // line would grow past MaxLineLength(). The pieces must not point into the store.
  bool InsertLines(int line, int pos, std::span<const std::string_view> pieces);

  // Text allocation. All return false (record untouched) when memory runs out.
  bool AllocateOwn(LineRecord& rec, int64_t length);     // own malloc, capacity rule
  bool EnsureCapacity(LineRecord& rec, int64_t length);  // keeps the text
  void FreeText(LineRecord& rec);

  // Fast appending while a file loads into a fresh store (the gap is at the end).
  void ExpectAppending(size_t bytes); // sizes the chunks for about this much text
  bool AppendLine(const char* chars, int64_t length);
  void FinishAppending(); // gives back the unused tail of the last chunk

private:
  struct Chunk {
    char* base = nullptr;
    size_t size = 0;  // mapped bytes
    size_t used = 0;  // bytes handed out
    size_t live = 0;  // lines still in it
  };

  bool GrowRecords(int64_t minCapacity);
  // The chunk (1-based) whose mapping holds text, 0 for a text of its own.
  uint32_t ChunkOf(const char* text) const;
  void MoveGap(int to);
  bool NewChunk(size_t minBytes, size_t preferred);
  void ReleaseFromChunk(uint32_t chunk);
  // Returns a chunk that holds no line any more to the system; its id is used again.
  void UnmapChunk(uint32_t chunk);
  char* TakeFromChunk(size_t bytes);
  // Batch allocation of many new lines in one chunk: OpenBatch(total bytes of their
  // capacities), then AllocateInBatch for each line (in any order, within the total).
  bool OpenBatch(int64_t bytes);
  void AllocateInBatch(LineRecord& rec, int64_t length);
  void CloseBatch();
  // Texts for new records whose length fields are set: packed in one chunk when there are many.
  bool AllocateNew(std::span<LineRecord> made);

  LineRecord* m_records = nullptr;
  int m_capacity = 0;  // record slots
  int m_count = 0;     // records in use
  int m_gapStart = 0;
  int m_gapLength = 0;

  std::vector<Chunk> m_chunks;
  std::vector<uint32_t> m_freeChunkIds;
  std::vector<uint32_t> m_chunksByAddress; // the mapped chunks' ids in the order of their bases
  mutable uint32_t m_lastChunkFound = 0;   // lines near each other mostly share a chunk
  CLineKeyedList<uint32_t> m_flags; // of the lines that have flags
  uint32_t m_current = 0; // chunk that AppendLine / AllocateInBatch fill (1-based, 0 none)
  size_t m_nextChunkSize = 64 * 1024;
  int64_t m_maxLineLength = MAX_LINE_LENGTH;
};
