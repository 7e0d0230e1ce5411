#include "line_store.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Under AddressSanitizer a chunk is poisoned except for the line texts handed out of it, so
// that writing past a line's capacity, or into a line that left the chunk, is reported.
#define TORVANE_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TORVANE_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
// The record array is mapped, not allocated, so the leak checker would not see the pointers
// to lines of their own in it: it is told to look there.
#include <sanitizer/lsan_interface.h>
#define TORVANE_RECORDS_MAPPED(p, n) __lsan_register_root_region(p, n)
#define TORVANE_RECORDS_UNMAPPED(p, n) __lsan_unregister_root_region(p, n)
#else
#define TORVANE_POISON(p, n) ((void)(p), (void)(n))
#define TORVANE_UNPOISON(p, n) ((void)(p), (void)(n))
#define TORVANE_RECORDS_MAPPED(p, n) ((void)(p), (void)(n))
#define TORVANE_RECORDS_UNMAPPED(p, n) ((void)(p), (void)(n))
#endif

namespace {

// Many new lines at once (a paste, the undo of a large deletion) share one chunk.
constexpr size_t BATCH_FROM_LINES = 32;
// Lines at least this long get their own allocation even while loading.
constexpr int64_t OWN_ALLOCATION_FROM = 256 * 1024;
// Chunks that AppendLine fills are at most this large: page faults cost the same whatever
// the size, and smaller chunks are given back sooner when their lines are deleted.
constexpr size_t MAX_APPEND_CHUNK = 4 * 1024 * 1024;
constexpr size_t MIN_APPEND_CHUNK = 64 * 1024;

size_t PageSize() {
  static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

size_t RoundToPages(size_t bytes) {
  size_t page = PageSize();
  return (bytes + page - 1) / page * page;
}

// Anonymous memory. populate maps it in one go (much cheaper than a page fault for each
// page), for memory that is about to be written anyway.
void* MapMemory(size_t bytes, bool populate = false) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | (populate ? MAP_POPULATE : 0), -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

} // namespace

CLineStore::~CLineStore() { Release(); }

void CLineStore::Swap(CLineStore& other) noexcept {
  std::swap(m_records, other.m_records);
  std::swap(m_capacity, other.m_capacity);
  std::swap(m_count, other.m_count);
  std::swap(m_gapStart, other.m_gapStart);
  std::swap(m_gapLength, other.m_gapLength);
  m_chunks.swap(other.m_chunks);
  m_freeChunkIds.swap(other.m_freeChunkIds);
  m_chunksByAddress.swap(other.m_chunksByAddress);
  std::swap(m_lastChunkFound, other.m_lastChunkFound);
  std::swap(m_flags, other.m_flags);
  std::swap(m_current, other.m_current);
  std::swap(m_nextChunkSize, other.m_nextChunkSize);
  std::swap(m_maxLineLength, other.m_maxLineLength);
}

void CLineStore::Release() {
  for (int i = 0; i < m_count; ++i) {
    LineRecord& rec = At(i);
    if (ChunkOf(rec.text) == 0) std::free(rec.text);
  }
  for (Chunk& c : m_chunks) {
    if (c.base) {
      TORVANE_UNPOISON(c.base, c.size);
      munmap(c.base, c.size);
    }
  }
  m_chunks.clear();
  m_freeChunkIds.clear();
  m_chunksByAddress.clear();
  m_lastChunkFound = 0;
  m_flags.Clear();
  m_current = 0;
  if (m_records) {
    const size_t bytes = RoundToPages(sizeof(LineRecord) * static_cast<size_t>(m_capacity));
    TORVANE_RECORDS_UNMAPPED(m_records, bytes);
    munmap(m_records, bytes);
  }
  m_records = nullptr;
  m_capacity = m_count = m_gapStart = m_gapLength = 0;
}

bool CLineStore::GrowRecords(int64_t minCapacity) {
  int64_t wanted = std::max<int64_t>({minCapacity, int64_t{m_capacity} + m_capacity / 2, 4096});
  wanted = std::min<int64_t>(wanted, INT32_MAX);
  if (wanted < minCapacity) return false;
  // The array is mapped directly and grown with mremap: no copy, and no dependence on the
  // state of malloc (whose heap would keep the old copy of a large array resident).
  const size_t oldBytes = RoundToPages(sizeof(LineRecord) * static_cast<size_t>(m_capacity));
  const size_t newBytes = RoundToPages(sizeof(LineRecord) * static_cast<size_t>(wanted));
  void* grown;
  if (m_records) {
    grown = mremap(m_records, oldBytes, newBytes, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) return false;
    TORVANE_RECORDS_UNMAPPED(m_records, oldBytes);
  } else {
    grown = MapMemory(newBytes);
    if (!grown) return false;
  }
  TORVANE_RECORDS_MAPPED(grown, newBytes);
  auto* records = static_cast<LineRecord*>(grown);
  wanted = static_cast<int64_t>(std::min<size_t>(newBytes / sizeof(LineRecord), INT32_MAX));
  // The records after the gap move to the end of the larger array; the gap widens.
  int after = m_count - m_gapStart;
  int newGap = static_cast<int>(wanted) - m_count;
  if (after > 0) {
    std::memmove(records + m_gapStart + newGap, records + m_gapStart + m_gapLength,
                 sizeof(LineRecord) * after);
  }
  m_records = records;
  m_capacity = static_cast<int>(wanted);
  m_gapLength = newGap;
  return true;
}

void CLineStore::MoveGap(int to) {
  TORVANE_ASSERT(to >= 0 && to <= m_count && m_gapStart + m_gapLength <= m_capacity);
  if (to < m_gapStart) {
    std::memmove(m_records + to + m_gapLength, m_records + to,
                 sizeof(LineRecord) * (m_gapStart - to));
  } else if (to > m_gapStart) {
    std::memmove(m_records + m_gapStart, m_records + m_gapStart + m_gapLength,
                 sizeof(LineRecord) * (to - m_gapStart));
  }
  m_gapStart = to;
}

bool CLineStore::ReserveSlots(int count) {
  if (count <= m_gapLength) return true;
  if (int64_t{m_count} + count > INT32_MAX) return false;
  return GrowRecords(int64_t{m_count} + count);
}

LineRecord* CLineStore::InsertSlots(int at, int count) {
  TORVANE_ASSERT(at >= 0 && at <= m_count && count >= 0);
  if (!ReserveSlots(count)) return nullptr;
  MoveGap(at);
  LineRecord* slots = m_records + at;
  m_gapStart += count;
  m_gapLength -= count;
  m_count += count;
  m_flags.Replace(at, 0, count);
  return slots;
}

void CLineStore::EraseSlots(int at, int count) {
  if (count <= 0) return;
  TORVANE_ASSERT(at >= 0 && at + count <= m_count);
  MoveGap(at);
  m_gapLength += count;
  m_count -= count;
  m_flags.Replace(at, count, 0);
}

int CLineStore::FindFlagged(int from, uint32_t mask, bool forward) const {
  if (forward) {
    for (auto it = m_flags.From(from); it != m_flags.end(); ++it)
      if (it->second & mask) return it->first;
  } else {
    for (auto it = m_flags.From(from + 1); it != m_flags.begin();)
      if ((--it)->second & mask) return it->first;
  }
  return -1;
}

uint32_t CLineStore::ChunkOf(const char* text) const {
  const auto at = reinterpret_cast<uintptr_t>(text);
  auto base = [&](uint32_t id) { return reinterpret_cast<uintptr_t>(m_chunks[id - 1].base); };
  auto holds = [&](uint32_t id) { return at >= base(id) && at - base(id) < m_chunks[id - 1].size; };
  if (m_lastChunkFound != 0 && holds(m_lastChunkFound)) return m_lastChunkFound;
  // The last chunk whose base is at or below text.
  auto after = std::upper_bound(m_chunksByAddress.begin(), m_chunksByAddress.end(), at,
                                [&](uintptr_t p, uint32_t id) { return p < base(id); });
  if (after == m_chunksByAddress.begin() || !holds(after[-1])) return 0;
  return m_lastChunkFound = after[-1];
}

bool CLineStore::AllocateOwn(LineRecord& rec, int64_t length) {
  if (length < 0 || length > m_maxLineLength) return false;
  int64_t capacity = CapacityFor(length);
  auto* text = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
  if (!text) return false;
  rec.text = text;
  rec.length = static_cast<int32_t>(length);
  rec.capacity = static_cast<int32_t>(capacity);
  return true;
}

bool CLineStore::EnsureCapacity(LineRecord& rec, int64_t length) {
  if (length <= rec.capacity) return true;
  if (length > m_maxLineLength) return false;
  int64_t capacity = CapacityFor(length);
  char* text;
  if (const uint32_t chunk = ChunkOf(rec.text); chunk == 0) {
    text = static_cast<char*>(std::realloc(rec.text, static_cast<size_t>(capacity)));
    if (!text) return false;
  } else {
    text = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!text) return false;
    std::memcpy(text, rec.text, static_cast<size_t>(rec.length));
    TORVANE_POISON(rec.text, static_cast<size_t>(rec.capacity));
    ReleaseFromChunk(chunk);
  }
  rec.text = text;
  rec.capacity = static_cast<int32_t>(capacity);
  return true;
}

void CLineStore::FreeText(LineRecord& rec) {
  if (const uint32_t chunk = ChunkOf(rec.text); chunk == 0) {
    std::free(rec.text);
  } else {
    TORVANE_POISON(rec.text, static_cast<size_t>(rec.capacity));
    ReleaseFromChunk(chunk);
  }
  rec.text = nullptr;
}

bool CLineStore::NewChunk(size_t minBytes, size_t preferred) {
  size_t size = RoundToPages(std::max(minBytes, preferred));
  void* base = MapMemory(size, true);
  if (!base) return false;
  uint32_t id;
  if (!m_freeChunkIds.empty()) {
    id = m_freeChunkIds.back();
    m_freeChunkIds.pop_back();
  } else {
    m_chunks.emplace_back();
    id = static_cast<uint32_t>(m_chunks.size());
  }
  m_chunks[id - 1] = Chunk{static_cast<char*>(base), size, 0, 0};
  m_chunksByAddress.insert(
      std::upper_bound(m_chunksByAddress.begin(), m_chunksByAddress.end(), id,
                       [&](uint32_t a, uint32_t b) {
                         return reinterpret_cast<uintptr_t>(m_chunks[a - 1].base) <
                                reinterpret_cast<uintptr_t>(m_chunks[b - 1].base);
                       }),
      id);
  TORVANE_POISON(base, size);
  m_current = id;
  return true;
}

void CLineStore::ReleaseFromChunk(uint32_t chunk) {
  // Every line in a chunk counts once in its live count: a text freed twice, or one that
  // never came from the chunk, would unmap it under the lines still in it.
  TORVANE_ASSERT(chunk >= 1 && chunk <= m_chunks.size() && m_chunks[chunk - 1].live > 0);
  if (--m_chunks[chunk - 1].live == 0 && chunk != m_current) UnmapChunk(chunk);
}

void CLineStore::UnmapChunk(uint32_t chunk) {
  Chunk& c = m_chunks[chunk - 1];
  TORVANE_UNPOISON(c.base, c.size);
  munmap(c.base, c.size);
  c = Chunk{};
  m_freeChunkIds.push_back(chunk);
  std::erase(m_chunksByAddress, chunk);
  if (m_lastChunkFound == chunk) m_lastChunkFound = 0;
}

char* CLineStore::TakeFromChunk(size_t bytes) {
  if (m_current == 0) return nullptr;
  Chunk& c = m_chunks[m_current - 1];
  if (c.size - c.used < bytes) return nullptr;
  char* p = c.base + c.used;
  c.used += bytes;
  ++c.live;
  TORVANE_UNPOISON(p, bytes);
  return p;
}

bool CLineStore::OpenBatch(int64_t bytes) {
  CloseBatch();
  return NewChunk(static_cast<size_t>(bytes), static_cast<size_t>(bytes));
}

void CLineStore::AllocateInBatch(LineRecord& rec, int64_t length) {
  int64_t capacity = CapacityFor(length);
  rec.text = TakeFromChunk(static_cast<size_t>(capacity));
  rec.length = static_cast<int32_t>(length);
  rec.capacity = static_cast<int32_t>(capacity);
}

void CLineStore::CloseBatch() {
  if (m_current == 0) return;
  uint32_t id = m_current;
  m_current = 0;
  Chunk& c = m_chunks[id - 1];
  if (c.live == 0) {
    UnmapChunk(id);
    return;
  }
  // Give the untouched tail back to the system.
  size_t keep = RoundToPages(c.used);
  if (keep < c.size) {
    TORVANE_UNPOISON(c.base + keep, c.size - keep);
    munmap(c.base + keep, c.size - keep);
    c.size = keep;
  }
}

bool CLineStore::AppendLine(const char* chars, int64_t length) {
  if (length > m_maxLineLength) return false;
  if (m_gapLength == 0) {
    if (m_count == INT32_MAX) return false;
    if (!GrowRecords(int64_t{m_capacity} * 2)) return false;
  }
  LineRecord& rec = m_records[m_count];
  if (CapacityFor(length) >= OWN_ALLOCATION_FROM) {
    if (!AllocateOwn(rec, length)) return false;
  } else {
    // Packed without room to grow: most loaded lines are never edited, and one that grows
    // moves to an allocation of its own (EnsureCapacity). An empty line still takes a byte,
    // so that its address lies inside the chunk.
    const size_t bytes = static_cast<size_t>(std::max<int64_t>(length, 1));
    char* text = TakeFromChunk(bytes);
    if (!text) {
      if (m_current) CloseBatch();
      if (!NewChunk(bytes, m_nextChunkSize)) return false;
      text = TakeFromChunk(bytes);
    }
    rec.text = text;
    rec.length = static_cast<int32_t>(length);
    rec.capacity = static_cast<int32_t>(length);
  }
  if (length > 0) std::memcpy(rec.text, chars, static_cast<size_t>(length));
  ++m_count;
  ++m_gapStart;
  --m_gapLength;
  return true;
}

void CLineStore::ExpectAppending(size_t bytes) {
  // The line texts take no more than the file.
  m_nextChunkSize = std::clamp(bytes, MIN_APPEND_CHUNK, MAX_APPEND_CHUNK);
}

void CLineStore::FinishAppending() { CloseBatch(); }

bool CLineStore::AllocateNew(std::span<LineRecord> made) {
  if (made.size() < BATCH_FROM_LINES) {
    for (size_t i = 0; i < made.size(); ++i) {
      if (!AllocateOwn(made[i], made[i].length)) {
        for (size_t j = 0; j < i; ++j) FreeText(made[j]);
        return false;
      }
    }
    return true;
  }
  int64_t bytes = 0;
  for (const LineRecord& rec : made) bytes += CapacityFor(rec.length);
  if (!OpenBatch(bytes)) return false;
  for (LineRecord& rec : made) AllocateInBatch(rec, rec.length);
  CloseBatch();
  return true;
}

bool CLineStore::InsertLines(int line, int pos, std::span<const std::string_view> pieces) {
  if (pieces.empty()) return true;
  const int64_t tailLength = At(line).length - pos;
  if (pieces.size() == 1) {
    LineRecord& target = At(line);
    const size_t n = pieces[0].size();
    const int64_t newLength = target.length + static_cast<int64_t>(n);
    if (newLength > m_maxLineLength || !EnsureCapacity(target, newLength)) return false;
    if (n > 0) {
      std::memmove(target.text + pos + n, target.text + pos, static_cast<size_t>(tailLength));
      std::memcpy(target.text + pos, pieces[0].data(), n);
    }
    target.length = static_cast<int32_t>(newLength);
    return true;
  }

  // Across lines: the first piece joins the head of the line, the last piece takes its tail,
  // the others become lines of their own. Everything that can fail comes first.
  const size_t added = pieces.size() - 1;
  if (added > static_cast<size_t>(INT32_MAX - m_count)) return false;
  const int64_t headLength = pos + static_cast<int64_t>(pieces.front().size());
  if (headLength > m_maxLineLength) return false;
  std::vector<LineRecord> made(added);
  for (size_t i = 0; i < added; ++i) {
    const int64_t length =
        static_cast<int64_t>(pieces[i + 1].size()) + (i + 1 == added ? tailLength : 0);
    if (length > m_maxLineLength) return false;
    made[i].length = static_cast<int32_t>(length);
  }
  // Reserved before any pointer to a record is taken: growing the array moves the records.
  if (!ReserveSlots(static_cast<int>(added)) || !AllocateNew(made)) return false;
  LineRecord& target = At(line);
  for (size_t i = 0; i < added; ++i) {
    const std::string_view piece = pieces[i + 1];
    if (!piece.empty()) std::memcpy(made[i].text, piece.data(), piece.size());
  }
  if (tailLength > 0) {
    std::memcpy(made.back().text + pieces.back().size(), target.text + pos,
                static_cast<size_t>(tailLength));
  }
  // The tail is out of the line now, so the line may move to a larger allocation.
  if (!EnsureCapacity(target, headLength)) {
    for (LineRecord& rec : made) FreeText(rec);
    return false;
  }
  if (!pieces.front().empty())
    std::memcpy(target.text + pos, pieces.front().data(), pieces.front().size());
  target.length = static_cast<int32_t>(headLength);
  LineRecord* slots = InsertSlots(line + 1, static_cast<int>(added)); // reserved: cannot fail
  std::memcpy(slots, made.data(), sizeof(LineRecord) * added);
  return true;
}
