#include "line_store.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Lines at least this long get their own allocation even while loading.
constexpr int64_t OWN_ALLOCATION_FROM = 256 * 1024;
// Chunks that AppendLine fills. Page faults cost the same whatever the size; smaller chunks
// are given back sooner when their lines are deleted.
constexpr size_t APPEND_CHUNK_SIZE = 4 * 1024 * 1024;

size_t PageSize() {
  static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

size_t RoundToPages(size_t bytes) {
  size_t page = PageSize();
  return (bytes + page - 1) / page * page;
}

} // namespace

LineStore::~LineStore() { Release(); }

void LineStore::Swap(LineStore& other) noexcept {
  std::swap(m_records, other.m_records);
  std::swap(m_capacity, other.m_capacity);
  std::swap(m_count, other.m_count);
  std::swap(m_gapStart, other.m_gapStart);
  std::swap(m_gapLength, other.m_gapLength);
  m_chunks.swap(other.m_chunks);
  m_freeChunkIds.swap(other.m_freeChunkIds);
  std::swap(m_current, other.m_current);
  std::swap(m_nextChunkSize, other.m_nextChunkSize);
}

void LineStore::Release() {
  for (int i = 0; i < m_count; ++i) {
    LineRecord& rec = At(i);
    if (rec.chunk == 0) std::free(rec.text);
  }
  for (Chunk& c : m_chunks) {
    if (c.base) munmap(c.base, c.size);
  }
  m_chunks.clear();
  m_freeChunkIds.clear();
  m_current = 0;
  std::free(m_records);
  m_records = nullptr;
  m_capacity = m_count = m_gapStart = m_gapLength = 0;
}

bool LineStore::GrowRecords(int64_t minCapacity) {
  int64_t wanted = std::max<int64_t>({minCapacity, int64_t{m_capacity} + m_capacity / 2, 4096});
  wanted = std::min<int64_t>(wanted, INT32_MAX);
  if (wanted < minCapacity) return false;
  auto* grown = static_cast<LineRecord*>(std::realloc(m_records, sizeof(LineRecord) * wanted));
  if (!grown) return false;
  // The records after the gap move to the end of the larger array; the gap widens.
  int after = m_count - m_gapStart;
  int newGap = static_cast<int>(wanted) - m_count;
  if (after > 0) {
    std::memmove(grown + m_gapStart + newGap, grown + m_gapStart + m_gapLength,
                 sizeof(LineRecord) * after);
  }
  m_records = grown;
  m_capacity = static_cast<int>(wanted);
  m_gapLength = newGap;
  return true;
}

void LineStore::MoveGap(int to) {
  if (to < m_gapStart) {
    std::memmove(m_records + to + m_gapLength, m_records + to,
                 sizeof(LineRecord) * (m_gapStart - to));
  } else if (to > m_gapStart) {
    std::memmove(m_records + m_gapStart, m_records + m_gapStart + m_gapLength,
                 sizeof(LineRecord) * (to - m_gapStart));
  }
  m_gapStart = to;
}

bool LineStore::ReserveSlots(int count) {
  if (count <= m_gapLength) return true;
  if (int64_t{m_count} + count > INT32_MAX) return false;
  return GrowRecords(int64_t{m_count} + count);
}

LineRecord* LineStore::InsertSlots(int at, int count) {
  if (!ReserveSlots(count)) return nullptr;
  MoveGap(at);
  LineRecord* slots = m_records + at;
  m_gapStart += count;
  m_gapLength -= count;
  m_count += count;
  return slots;
}

void LineStore::EraseSlots(int at, int count) {
  if (count <= 0) return;
  MoveGap(at);
  m_gapLength += count;
  m_count -= count;
}

bool LineStore::AllocateOwn(LineRecord& rec, int64_t length) {
  if (length < 0 || length > MAX_LINE_LENGTH) return false;
  int64_t capacity = CapacityFor(length);
  auto* text = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
  if (!text) return false;
  rec.text = text;
  rec.length = static_cast<int32_t>(length);
  rec.capacity = static_cast<int32_t>(capacity);
  rec.chunk = 0;
  return true;
}

bool LineStore::EnsureCapacity(LineRecord& rec, int64_t length) {
  if (length <= rec.capacity) return true;
  if (length > MAX_LINE_LENGTH) return false;
  int64_t capacity = CapacityFor(length);
  char* text;
  if (rec.chunk == 0) {
    text = static_cast<char*>(std::realloc(rec.text, static_cast<size_t>(capacity)));
    if (!text) return false;
  } else {
    text = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!text) return false;
    std::memcpy(text, rec.text, static_cast<size_t>(rec.length));
    ReleaseFromChunk(rec.chunk);
    rec.chunk = 0;
  }
  rec.text = text;
  rec.capacity = static_cast<int32_t>(capacity);
  return true;
}

void LineStore::FreeText(LineRecord& rec) {
  if (rec.chunk == 0) {
    std::free(rec.text);
  } else {
    ReleaseFromChunk(rec.chunk);
  }
  rec.text = nullptr;
}

bool LineStore::NewChunk(size_t minBytes, size_t preferred) {
  size_t size = RoundToPages(std::max(minBytes, preferred));
  void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return false;
  uint32_t id;
  if (!m_freeChunkIds.empty()) {
    id = m_freeChunkIds.back();
    m_freeChunkIds.pop_back();
  } else {
    m_chunks.emplace_back();
    id = static_cast<uint32_t>(m_chunks.size());
  }
  m_chunks[id - 1] = Chunk{static_cast<char*>(base), size, 0, 0};
  m_current = id;
  return true;
}

void LineStore::ReleaseFromChunk(uint32_t chunk) {
  Chunk& c = m_chunks[chunk - 1];
  if (--c.live == 0 && chunk != m_current) {
    munmap(c.base, c.size);
    c = Chunk{};
    m_freeChunkIds.push_back(chunk);
  }
}

char* LineStore::TakeFromChunk(size_t bytes) {
  if (m_current == 0) return nullptr;
  Chunk& c = m_chunks[m_current - 1];
  if (c.size - c.used < bytes) return nullptr;
  char* p = c.base + c.used;
  c.used += bytes;
  ++c.live;
  return p;
}

bool LineStore::OpenBatch(int64_t bytes) {
  CloseBatch();
  return NewChunk(static_cast<size_t>(bytes), static_cast<size_t>(bytes));
}

void LineStore::AllocateInBatch(LineRecord& rec, int64_t length) {
  int64_t capacity = CapacityFor(length);
  rec.text = TakeFromChunk(static_cast<size_t>(capacity));
  rec.length = static_cast<int32_t>(length);
  rec.capacity = static_cast<int32_t>(capacity);
  rec.chunk = m_current;
}

void LineStore::CloseBatch() {
  if (m_current == 0) return;
  uint32_t id = m_current;
  m_current = 0;
  Chunk& c = m_chunks[id - 1];
  if (c.live == 0) {
    munmap(c.base, c.size);
    c = Chunk{};
    m_freeChunkIds.push_back(id);
    return;
  }
  // Give the untouched tail back to the system.
  size_t keep = RoundToPages(c.used);
  if (keep < c.size) {
    munmap(c.base + keep, c.size - keep);
    c.size = keep;
  }
}

bool LineStore::AppendLine(const char* chars, int64_t length) {
  if (length > MAX_LINE_LENGTH) return false;
  if (m_gapLength == 0) {
    if (m_count == INT32_MAX) return false;
    if (!GrowRecords(int64_t{m_capacity} * 2)) return false;
  }
  LineRecord& rec = m_records[m_count];
  int64_t capacity = CapacityFor(length);
  if (capacity >= OWN_ALLOCATION_FROM) {
    if (!AllocateOwn(rec, length)) return false;
  } else {
    char* text = TakeFromChunk(static_cast<size_t>(capacity));
    if (!text) {
      if (m_current) CloseBatch();
      if (!NewChunk(static_cast<size_t>(capacity), APPEND_CHUNK_SIZE)) return false;
      text = TakeFromChunk(static_cast<size_t>(capacity));
    }
    rec.text = text;
    rec.length = static_cast<int32_t>(length);
    rec.capacity = static_cast<int32_t>(capacity);
    rec.chunk = m_current;
  }
  if (length > 0) std::memcpy(rec.text, chars, static_cast<size_t>(length));
  rec.flags = 0;
  ++m_count;
  ++m_gapStart;
  --m_gapLength;
  return true;
}

void LineStore::FinishAppending() { CloseBatch(); }

size_t LineStore::ChunkCount() const {
  return static_cast<size_t>(
      std::count_if(m_chunks.begin(), m_chunks.end(), [](const Chunk& c) { return c.base; }));
}
