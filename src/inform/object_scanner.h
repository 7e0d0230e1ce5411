#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lifetime_guard.h"
#include "mapped_allocator.h"

// The object scanner: a line-oriented pass over a document's text that collects the objects
// and routines defined in column 0, for the object bar. It reads the first few tokens of each
// line and is a heuristic, not an Inform parser.

// One object definition found by a scan. The texts point into the scanner's own storage and
// stay valid until its records are deleted (DeleteRecords, or the scanner's end).
struct CObjectRecord {
  std::string_view m_name;           // unique among the objects
  std::string_view m_parent;         // as written in the source, or empty
  std::string_view m_definitionLine; // the first DEFINITION_LINE_LENGTH bytes of the line
  std::string_view m_class;          // empty for Object and Nearby definitions
  int m_depth = 0;                   // 0 for a top-level object
};

// One routine definition found by a scan.
struct CFunctionRecord {
  std::string_view m_name; // unique among the functions
  std::string_view m_definitionLine;
};

// One class definition found by a scan ("Class NAME"). A class defined twice (in two
// branches of an #Ifdef) is kept once, with its first definition.
struct CClassRecord {
  std::string_view m_name;
  std::string_view m_definitionLine;
};

// The records of one kind, stored compactly: a file of a million definitions holds a
// million records, so each is a few words and its texts, with no allocation of its own.
// Names are unique. While records are being added a hash index finds names; once the
// records are listed (in byte order of their names, the order of the object bar) a sorted
// index takes its place and finds them by binary search.
// A name ending in "]" enters the hash only when a name ending in "]" is looked up. The names
// made with a suffix for a clash all end so, and are looked up only when some name kept as
// given ends so too: a million clashing names build a hash of one.
class CRecordStore {
public:
  static constexpr int MAX_TEXTS = 4;

  CRecordStore() = default;
  CRecordStore(const CRecordStore&) = delete;
  CRecordStore& operator=(const CRecordStore&) = delete;

  // Adds a record with texts[0] as its name, which must not be taken yet.
  void Add(const std::string_view* texts, int count, int depth);
  void Clear();
  std::size_t Count() const { return m_count; }
  // The index of the record named exactly name, or -1.
  int64_t IndexOf(std::string_view name) const;
  // The index of the record at position (0 .. Count()-1) in byte order of the names.
  uint32_t OrderedIndex(std::size_t position) const;
  std::string_view Text(uint32_t index, int which) const;
  int Depth(uint32_t index) const { return RecordAt(index).depth; }
  std::size_t MemoryBytes() const;

private:
  struct Packed {
    const char* text; // the record's texts one after another
    uint32_t lengths[MAX_TEXTS];
    int32_t depth;
    bool late; // its name ends in "]" (below m_lateFrom it is in the hash all the same)
  };
  static constexpr std::size_t RECORDS_PER_CHUNK = 4096;
  static constexpr std::size_t TEXT_CHUNK = 256 * 1024;

  const Packed& RecordAt(uint32_t index) const {
    return m_records[index / RECORDS_PER_CHUNK][index % RECORDS_PER_CHUNK];
  }
  std::string_view Name(uint32_t index) const { return Text(index, 0); }
  char* TakeText(std::size_t bytes);
  std::size_t HomeSlot(uint32_t tag) const;
  void FlushPending() const;
  void FlushLate() const;
  void IndexAll() const;
  void Grow() const;
  void InsertIntoHash(uint32_t tag, uint32_t index) const;
  void BuildOrder() const;

  std::vector<std::unique_ptr<Packed[]>> m_records;
  std::size_t m_count = 0;
  std::vector<std::unique_ptr<char[]>> m_texts;
  std::size_t m_textLeft = 0; // free bytes at the end of the last text chunk
  // At most one index is kept: the hash (slots: index + 1 in the low half, 0 empty, and the
  // top 32 bits of the name's hash in the high half) while adding, the sorted order while listing.
  mutable std::vector<uint64_t, CMappedAllocator<uint64_t>> m_hash;
  mutable int m_hashBits = 0; // m_hash has 2^m_hashBits slots
  mutable std::size_t m_hashed = 0; // entries in m_hash, and the pending record
  // The late records from m_lateFrom on are not in the hash; there are m_lateCount of them.
  mutable std::size_t m_lateFrom = 0;
  mutable std::size_t m_lateCount = 0;
  // The record last added, not yet in the hash (-1 none), and the tag of its name.
  mutable int64_t m_pending = -1;
  mutable uint32_t m_pendingTag = 0;
  mutable std::vector<uint32_t, CMappedAllocator<uint32_t>> m_order;
};

// The records of one kind by name: lookups, and iteration in byte order of the names.
template <class TRecord> class CRecordMap {
public:
  class const_iterator {
  public:
    using value_type = TRecord;
    using difference_type = std::ptrdiff_t;
    const_iterator() = default;
    const_iterator(const CRecordMap* map, std::size_t position) : m_map(map), m_position(position) {}
    TRecord operator*() const { return m_map->Make(m_map->m_store.OrderedIndex(m_position)); }
    const_iterator& operator++() {
      ++m_position;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++m_position;
      return before;
    }
    bool operator==(const const_iterator& other) const { return m_position == other.m_position; }

  private:
    const CRecordMap* m_map = nullptr;
    std::size_t m_position = 0;
  };

  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }
  std::size_t size() const { return m_store.Count(); }
  bool empty() const { return m_store.Count() == 0; }
  bool Contains(std::string_view name) const { return m_store.IndexOf(name) >= 0; }
  std::optional<TRecord> Find(std::string_view name) const {
    const int64_t index = m_store.IndexOf(name);
    if (index < 0) return std::nullopt;
    return Make(static_cast<uint32_t>(index));
  }
  std::size_t MemoryBytes() const { return m_store.MemoryBytes(); }

private:
  friend class CObjectScanner;
  TRecord Make(uint32_t index) const;

  CRecordStore m_store;
};

using CObjectMap = CRecordMap<CObjectRecord>;
using CFunctionMap = CRecordMap<CFunctionRecord>;
using CClassMap = CRecordMap<CClassRecord>;

template <> inline CObjectRecord CObjectMap::Make(uint32_t index) const {
  return CObjectRecord{m_store.Text(index, 0), m_store.Text(index, 1), m_store.Text(index, 2),
                       m_store.Text(index, 3), m_store.Depth(index)};
}
template <> inline CFunctionRecord CFunctionMap::Make(uint32_t index) const {
  return CFunctionRecord{m_store.Text(index, 0), m_store.Text(index, 1)};
}
template <> inline CClassRecord CClassMap::Make(uint32_t index) const {
  return CClassRecord{m_store.Text(index, 0), m_store.Text(index, 1)};
}

// Where a scan reads its lines. The text buffer satisfies it through CBufferLineSource.
class CScanLineSource {
public:
  virtual ~CScanLineSource() = default;
  virtual int LineCount() const = 0;
  virtual int LineLength(int line) const = 0;
  virtual const char* LineChars(int line) const = 0; // not NUL-terminated
};

// Any buffer with LineCount, LineLength and LineChars (CTextBuffer).
template <class TBuffer> class CBufferLineSource final : public CScanLineSource {
public:
  explicit CBufferLineSource(const TBuffer& buffer) : m_buffer(buffer) {}
  int LineCount() const override { return m_buffer.LineCount(); }
  int LineLength(int line) const override { return m_buffer.LineLength(line); }
  const char* LineChars(int line) const override { return m_buffer.LineChars(line); }

private:
  const TBuffer& m_buffer;
};

// Lines held as strings (tools and tests).
class CStringLineSource final : public CScanLineSource {
public:
  CStringLineSource() = default;
  explicit CStringLineSource(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
  // Splits at LF, CR LF or CR.
  static CStringLineSource FromText(std::string_view text);

  int LineCount() const override { return static_cast<int>(m_lines.size()); }
  int LineLength(int line) const override { return static_cast<int>(m_lines[line].size()); }
  const char* LineChars(int line) const override { return m_lines[line].data(); }
  std::vector<std::string>& Lines() { return m_lines; }

private:
  std::vector<std::string> m_lines;
};

// What a scan asks of the user interface: a progress display for its lifetime, stepped once
// per line, and the dispatch of pending events once per line so the window stays responsive.
// The GUI gives it the status-bar progress bar and the event loop; a pump that meets a quit
// request must post it again and return, the scan carries on. Every operation defaults to
// doing nothing.
class CScanHost {
public:
  virtual ~CScanHost() = default;
  virtual void BeginProgress(const std::string& message, int sizePercent, int maximum, bool smooth,
                             int pane);
  virtual void StepProgress();
  virtual void EndProgress();
  virtual void PumpMessages();
};

// The scan records of one document: the object map, the function map, the classes it
// defines and the scanner value. Only lines that begin in column 0 outside a string are read.
class CObjectScanner {
public:
  static constexpr int NESTING_SLOTS = 10; // depths 0 to 9
  static constexpr std::size_t DEFINITION_LINE_LENGTH = 29;
  static constexpr const char* PROGRESS_MESSAGE = "Parsing Objects:";
  static constexpr int PROGRESS_SIZE = 99;
  static constexpr const char* UNTITLED = "Untitled";

  CObjectScanner();
  ~CObjectScanner();
  CObjectScanner(const CObjectScanner&) = delete;
  CObjectScanner& operator=(const CObjectScanner&) = delete;

  // Scans every line of source and adds the records found. Returns false without scanning
  // when a scan of this object is already running (a command arriving while the scan pumps
  // events), and false when the scan stopped early because this object was destroyed or the
  // text lost the line about to be read while events were dispatched; true otherwise.
  // When the scanner is destroyed during the scan, the host is not called again (it may have
  // gone with it), so a host must end its progress display in its own destructor as well.
  bool ScanObjects(const CScanLineSource& source, CScanHost* host = nullptr);
  bool IsScanning() const { return m_scanning; }

  // Store a record under a unique name (name, name[02], name[03] ... for objects; name,
  // name[2], name[3] ... for functions) and return the name used.
  std::string AddObject(const std::string& name, const std::string& definitionLine,
                        const std::string& parent, const std::string& className, int depth);
  std::string AddFunction(const std::string& name, const std::string& definitionLine);

  // The depth of the object record whose key is exactly name, or 1 when there is none.
  int GetObjectLevel(std::string_view name) const;

  // Deletes every record of the three maps. The scanner value stays.
  void DeleteRecords();

  const CObjectMap& ObjectMap() const { return m_objects; }
  const CFunctionMap& FunctionMap() const { return m_functions; }
  const CClassMap& ClassMap() const { return m_classes; }
  // The greatest depth of any object record added since this object was made; never lowered.
  int ScannerValue() const { return m_scannerValue; }

private:
  void ScanLine(std::string_view line, std::array<std::string, NESTING_SLOTS>& slots);
  void AddClassDefinition(std::string_view line, std::size_t pos);
  void ScanObjectDefinition(std::string_view line, std::size_t pos, std::string_view first,
                            std::array<std::string, NESTING_SLOTS>& slots);

  // AddObject and AddFunction without a string of their own per text: the name returned
  // points into the records.
  std::string_view AddObjectRecord(std::string_view name, std::string_view definitionLine,
                                   std::string_view parent, std::string_view className, int depth);
  std::string_view AddFunctionRecord(std::string_view name, std::string_view definitionLine);

  CObjectMap m_objects;
  CFunctionMap m_functions;
  CClassMap m_classes;
  struct CNameHash {
    using is_transparent = void; // found by a view without making a string
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  // How the unique names of one kind were made. For each name that needed a suffix, the
  // first suffix number not yet known to be taken, so that a run of clashing names does not
  // test every earlier suffix again; and whether any name was kept as given with a "]" at its
  // end, the only kind of name a fresh suffixed one can clash with.
  struct CNaming {
    std::unordered_map<std::string, int, CNameHash, std::equal_to<>> nextSuffix;
    bool givenEndsWithBracket = false;
  };
  // Adds the record texts[1 .. count-1] under a unique name made from texts[0].
  std::string_view AddUnique(CRecordStore& store, CNaming& naming, bool padded, std::string_view* texts,
                             int count, int depth);

  CNaming m_objectNaming;
  CNaming m_functionNaming;
  std::string m_name; // the unique name being made, kept to reuse its room
  int m_scannerValue = 0;
  bool m_scanning = false;
  // A scan watches it to notice its scanner going away while it dispatches events.
  CLifetimeGuard m_lifetime;
};

// The tokenizer: skips space characters and reads one token from line at pos, leaving pos
// where reading stopped. ";" is returned without moving past it. An arrow token ("-> ->") has
// its trailing spaces dropped; a string token runs to its closing quote or the line's end.
// Tokens are kept whole, whatever their length.
std::string GetToken(std::string_view line, std::size_t& pos);

// True when token begins, ignoring case, with one of the 35 directive names.
bool IsDirective(std::string_view token);
