#include "object_scanner.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <functional>

#include "busy_guard.h"
#include "string_tracker.h"
#include "word_classifier.h"

namespace {

// Views, so that testing a line against all 35 does not measure each name again.
constexpr std::array<std::string_view, 35> DIRECTIVE_NAMES = {
    "Abbreviate", "Array",      "Attribute", "Class",       "Constant", "Default", "Dictionary",
    "End",        "Endif",      "Extend",    "Fake_action", "Global",   "Ifdef",   "Ifndef",
    "Ifnot",      "Ifv3",       "Ifv5",      "Iftrue",      "Iffalse",  "Import",  "Include",
    "Link",       "Lowstring",  "Message",   "Property",    "Release",  "Replace", "Serial",
    "Switches",   "Statusline", "Stub",      "System_file", "Trace",    "Verb",    "Version",
};

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The first letters of the directive names, as bits from 'a': most tokens start none of them.
constexpr uint32_t DIRECTIVE_INITIALS = [] {
  uint32_t bits = 0;
  for (const std::string_view name : DIRECTIVE_NAMES) bits |= 1u << (LowerAscii(name.front()) - 'a');
  return bits;
}();

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view text, std::string_view word) {
  return text.size() == word.size() && StartsWithNoCase(text, word);
}

bool StartsWithChar(std::string_view text, char c) { return !text.empty() && text.front() == c; }

// The token at pos as a view into line (every token is a contiguous part of its line).
std::string_view NextToken(std::string_view line, std::size_t& pos) {
  const std::size_t n = line.size();
  while (pos < n && IsSpace(line[pos])) ++pos;
  if (pos >= n) return {};
  const std::size_t start = pos;
  const char c = line[pos];
  if (c == ';') return line.substr(start, 1);
  if (c == '-') {
    while (pos < n && (line[pos] == '-' || line[pos] == '>' || IsSpace(line[pos]))) ++pos;
    std::size_t end = pos;
    while (end > start && IsSpace(line[end - 1])) --end;
    return line.substr(start, end - start);
  }
  if (c == '"') {
    ++pos;
    while (pos < n && line[pos] != '"') ++pos;
    if (pos < n) ++pos; // the closing quote belongs to the token
    return line.substr(start, pos - start);
  }
  while (pos < n && !IsSpace(line[pos]) && line[pos] != ';') ++pos;
  return line.substr(start, pos - start);
}

// Puts "[" + n + "]" after name's first size bytes, with a 0 before a single digit when padded
// (the formats "[0%d]" and "[%d]").
void PutSuffix(std::string& name, std::size_t size, int n, bool padded) {
  char text[16] = "[0";
  char* const digits = text + (padded && n >= 0 && n <= 9 ? 2 : 1);
  char* end = std::to_chars(digits, text + sizeof text - 1, n).ptr;
  *end++ = ']';
  name.resize(size);
  name.append(text, end);
}

} // namespace

// The name itself when free, else the name with the first free suffix from 2 on. The hint
// remembers where the search for a name ended: records are only ever added between two
// DeleteRecords, so every suffix below it stays taken. A suffixed name made from another
// name cannot be the candidate (its last "[" would stand elsewhere), so the candidate is
// looked up only when some name was kept as given with a "]" at its end.
std::string_view CObjectScanner::AddUnique(CRecordStore& store, CNaming& naming, bool padded,
                                           std::string_view* texts, int count, int depth) {
  const std::string_view name = texts[0];
  if (store.IndexOf(name) < 0) {
    if (!name.empty() && name.back() == ']') naming.givenEndsWithBracket = true;
  } else {
    auto hint = naming.nextSuffix.find(name);
    if (hint == naming.nextSuffix.end()) hint = naming.nextSuffix.emplace(name, 2).first;
    int& next = hint->second;
    m_name.assign(name);
    PutSuffix(m_name, name.size(), next, padded);
    while (naming.givenEndsWithBracket && store.IndexOf(m_name) >= 0)
      PutSuffix(m_name, name.size(), ++next, padded);
    ++next;
    texts[0] = m_name;
  }
  store.Add(texts, count, depth);
  return store.Text(static_cast<uint32_t>(store.Count() - 1), 0);
}

namespace {

uint64_t HashName(std::string_view name) { return std::hash<std::string_view>{}(name); }

// Gives a vector's memory back: assigning {} would keep its capacity.
template <class TVector> void Release(TVector& v) { TVector().swap(v); }

// The first 16 bytes of a name as two big-endian numbers (zeros after its end): comparing
// them compares the names' first 16 bytes as the byte order does.
struct OrderKey {
  uint64_t high;
  uint64_t low;
  uint32_t index;
};
uint64_t BigEndianPrefix(const char* bytes, std::size_t size) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value = value << 8 | (i < size ? static_cast<unsigned char>(bytes[i]) : 0u);
  return value;
}

unsigned KeyByte(const OrderKey& key, int byte) {
  const uint64_t half = byte < 8 ? key.high : key.low;
  return static_cast<unsigned>(half >> (56 - 8 * (byte % 8))) & 0xFFu;
}

// Sorts keys by their 16 bytes, one byte at a time from the first (a radix sort that moves
// the keys in place), and each run of keys equal in all 16 by less. Names made from one
// stem share their first bytes, which a comparison sort would compare again and again.
template <class TLess> void SortKeys(OrderKey* first, OrderKey* last, int byte, const TLess& less) {
  constexpr std::ptrdiff_t SMALL = 64;
  while (byte < 16 && last - first >= SMALL) {
    std::size_t counts[256] = {};
    for (const OrderKey* k = first; k != last; ++k) ++counts[KeyByte(*k, byte)];
    if (counts[KeyByte(*first, byte)] == static_cast<std::size_t>(last - first)) {
      ++byte; // every key has this byte: nothing to move
      continue;
    }
    std::size_t next[256], end[256];
    std::size_t at = 0;
    for (int b = 0; b < 256; ++b) next[b] = at, at += counts[b], end[b] = at;
    for (int b = 0; b < 256; ++b) {
      while (next[b] < end[b]) {
        OrderKey key = first[next[b]];
        for (unsigned d = KeyByte(key, byte); d != static_cast<unsigned>(b); d = KeyByte(key, byte))
          std::swap(key, first[next[d]++]);
        first[next[b]++] = key;
      }
    }
    for (int b = 0; b < 256; ++b) {
      OrderKey* from = first + (end[b] - counts[b]);
      if (counts[b] > 1) SortKeys(from, first + end[b], byte + 1, less);
    }
    return;
  }
  std::sort(first, last, less);
}

// "has", "class" or "with" in any case: a word that opens an object's body.
bool OpensObjectBody(std::string_view token) {
  return StartsWithNoCase(token, "has") || StartsWithNoCase(token, "class") ||
         StartsWithNoCase(token, "with");
}

// A missing name, or the ";" that ends the definition where the name would be.
std::string_view NameOrUntitled(std::string_view name) {
  const bool untitled = name.empty() || name.front() == ';';
  return untitled ? std::string_view(CObjectScanner::UNTITLED) : name;
}

std::string_view DefinitionLine(std::string_view line) {
  return line.substr(0, CObjectScanner::DEFINITION_LINE_LENGTH);
}

} // namespace

// ---------------------------------------------------------------------------------------------

void CScanHost::BeginProgress(const std::string&, int, int, bool, int) {}
void CScanHost::StepProgress() {}
void CScanHost::EndProgress() {}
void CScanHost::PumpMessages() {}

CStringLineSource CStringLineSource::FromText(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  lines.emplace_back(text.substr(start));
  return CStringLineSource(std::move(lines));
}

// ---------------------------------------------------------------------------------------------

std::string GetToken(std::string_view line, std::size_t& pos) {
  return std::string(NextToken(line, pos));
}

bool IsDirective(std::string_view token) {
  // Only the names with the token's first letter can match; most tokens start no name at all.
  if (token.empty()) return false;
  const char first = LowerAscii(token.front());
  if (first < 'a' || first > 'z' || (DIRECTIVE_INITIALS >> (first - 'a') & 1u) == 0) return false;
  return std::any_of(DIRECTIVE_NAMES.begin(), DIRECTIVE_NAMES.end(), [token, first](std::string_view name) {
    return LowerAscii(name.front()) == first && StartsWithNoCase(token, name);
  });
}


// ---------------------------------------------------------------------------------------------

CObjectScanner::CObjectScanner() = default;

CObjectScanner::~CObjectScanner() = default;

bool CObjectScanner::ScanObjects(const CScanLineSource& source, CScanHost* host) {
  if (m_scanning) return false;
  CScanHost noHost;
  CScanHost& ui = host != nullptr ? *host : noHost;
  const int lineCount = source.LineCount();
  std::array<std::string, NESTING_SLOTS> slots;
  CStringTracker strings;
  bool complete = true;
  {
    const CBusyGuard scanning(m_scanning, m_lifetime);
    ui.BeginProgress(PROGRESS_MESSAGE, PROGRESS_SIZE, lineCount, false, 0);
    for (int i = 0; i < lineCount; ++i) {
      ui.StepProgress();
      ui.PumpMessages();
      // Events may have closed the document or cut its text; then there is nothing left to
      // read. A scanner destroyed meanwhile may have taken its host with it: no further call
      // is made.
      if (scanning.OwnerGone()) return false;
      if (i >= source.LineCount()) {
        complete = false;
        break;
      }
      const int length = source.LineLength(i);
      const std::string_view line(length > 0 ? source.LineChars(i) : "", std::max(length, 0));
      // A line that begins inside a string is text, whatever it says.
      if (!strings.InString()) ScanLine(line, slots);
      strings.Advance(line);
    }
  }
  ui.EndProgress();
  return complete;
}

void CObjectScanner::ScanLine(std::string_view line,
                              std::array<std::string, NESTING_SLOTS>& slots) {
  if (line.empty() || IsSpace(line.front())) return;
  std::size_t pos = 0;
  const std::string_view first = NextToken(line, pos);
  if (first.empty()) return;
  const char c = first.front();
  if (c == '!' || c == '#' || c == '.' || c == ']') return;
  // Only a routine's "[" or a word begins a definition: a line that starts with a string, a
  // number or the ";" closing a definition above continues something else.
  if (c != '[' && c != '_' && !(LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z')) return;
  if (EqualsNoCase(first, "Class")) {
    AddClassDefinition(line, pos);
    return;
  }
  if (IsDirective(first)) return;
  if (c == '[') {
    // The name is the first word after the "[", written against it or not.
    const std::string_view name = first.size() > 1 ? first.substr(1) : NextToken(line, pos);
    AddFunctionRecord(NameOrUntitled(name), DefinitionLine(line));
    return;
  }
  if (OpensObjectBody(first)) return;
  ScanObjectDefinition(line, pos, first, slots);
}

void CObjectScanner::AddClassDefinition(std::string_view line, std::size_t pos) {
  // "Class Ticket(7)": the name ends where the identifier does.
  std::string_view name = NextToken(line, pos);
  std::size_t length = 0;
  while (length < name.size() && IsInformWordChar(static_cast<unsigned char>(name[length]))) ++length;
  name = name.substr(0, length);
  if (name.empty() || m_classes.Contains(name)) return;
  const std::string_view texts[] = {name, DefinitionLine(line)};
  m_classes.m_store.Add(texts, 2, 0);
}

void CObjectScanner::ScanObjectDefinition(std::string_view line, std::size_t pos,
                                          std::string_view first,
                                          std::array<std::string, NESTING_SLOTS>& slots) {
  std::string_view className = StartsWithNoCase(first, "Object") ? std::string_view() : first;
  int depth = 0;

  std::string_view name = NextToken(line, pos);
  if (StartsWithChar(name, '-')) {
    depth = static_cast<int>(std::count(name.begin(), name.end(), '>'));
    name = NextToken(line, pos);
  }
  if (!StartsWithChar(name, '"')) NextToken(line, pos); // the short name
  const std::string_view parentToken = NextToken(line, pos);

  std::string_view parent;
  if (depth > 0) {
    // Deeper than the last slot: the object still hangs below the deepest one kept.
    parent = slots[std::min(depth - 1, NESTING_SLOTS - 1)];
    if (depth < NESTING_SLOTS) slots[depth] = std::string(name);
  } else if (StartsWithNoCase(className, "Nearby")) {
    parent = slots[0];
    className = {};
    depth = GetObjectLevel(parent) + 1;
  } else if (parentToken.empty() || parentToken.front() == ';' || parentToken.front() == ',') {
    slots[0] = std::string(name);
  } else if (OpensObjectBody(parentToken)) {
    // A top-level object whose body starts on its own line: slot 0 stays as it was.
  } else {
    parent = parentToken;
    depth = GetObjectLevel(parent) + 1;
  }

  AddObjectRecord(NameOrUntitled(name), DefinitionLine(line), parent, className, depth);
}

std::string CObjectScanner::AddObject(const std::string& name, const std::string& definitionLine,
                                      const std::string& parent, const std::string& className,
                                      int depth) {
  return std::string(AddObjectRecord(name, definitionLine, parent, className, depth));
}

std::string CObjectScanner::AddFunction(const std::string& name,
                                        const std::string& definitionLine) {
  return std::string(AddFunctionRecord(name, definitionLine));
}

std::string_view CObjectScanner::AddObjectRecord(std::string_view name, std::string_view definitionLine,
                                                 std::string_view parent, std::string_view className,
                                                 int depth) {
  std::string_view texts[] = {name, parent, definitionLine, className};
  if (depth > m_scannerValue) m_scannerValue = depth;
  return AddUnique(m_objects.m_store, m_objectNaming, true, texts, 4, depth);
}

std::string_view CObjectScanner::AddFunctionRecord(std::string_view name, std::string_view definitionLine) {
  std::string_view texts[] = {name, definitionLine};
  return AddUnique(m_functions.m_store, m_functionNaming, false, texts, 2, 0);
}

int CObjectScanner::GetObjectLevel(std::string_view name) const {
  const int64_t index = m_objects.m_store.IndexOf(name);
  return index < 0 ? 1 : m_objects.m_store.Depth(static_cast<uint32_t>(index));
}

void CObjectScanner::DeleteRecords() {
  m_objects.m_store.Clear();
  m_functions.m_store.Clear();
  m_classes.m_store.Clear();
  m_objectNaming = CNaming();
  m_functionNaming = CNaming();
}

// ---------------------------------------------------------------------------------------------
// Record storage

void CRecordStore::Clear() {
  m_records.clear();
  m_count = 0;
  m_texts.clear();
  m_textLeft = 0;
  Release(m_hash);
  m_hashBits = 0;
  m_hashed = 0;
  m_pending = -1;
  m_lateFrom = 0;
  m_lateCount = 0;
  Release(m_order);
}

std::size_t CRecordStore::MemoryBytes() const {
  std::size_t texts = 0;
  for (std::size_t i = 0; i < m_texts.size(); ++i) texts += TEXT_CHUNK; // big texts: at least
  return m_records.size() * RECORDS_PER_CHUNK * sizeof(Packed) + texts +
         m_hash.capacity() * sizeof(uint64_t) + m_order.capacity() * sizeof(uint32_t);
}

char* CRecordStore::TakeText(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes > TEXT_CHUNK / 4) {
    // A long text gets a chunk of its own, put before the current one so that its free
    // room stays in use.
    m_texts.insert(m_texts.end() - (m_texts.empty() ? 0 : 1), std::make_unique_for_overwrite<char[]>(bytes));
    return m_texts[m_texts.size() - (m_texts.size() > 1 ? 2 : 1)].get();
  }
  if (m_texts.empty() || bytes > m_textLeft) {
    m_texts.push_back(std::make_unique_for_overwrite<char[]>(TEXT_CHUNK));
    m_textLeft = TEXT_CHUNK;
  }
  char* text = m_texts.back().get() + (TEXT_CHUNK - m_textLeft);
  m_textLeft -= bytes;
  return text;
}

void CRecordStore::Add(const std::string_view* texts, int count, int depth) {
  const bool late = !texts[0].empty() && texts[0].back() == ']';
  // The name's slot is fetched from memory while the texts are copied.
  const auto tag = late ? 0u : static_cast<uint32_t>(HashName(texts[0]) >> 32);
  if (!late && !m_hash.empty()) __builtin_prefetch(&m_hash[HomeSlot(tag)]);
  std::size_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += texts[i].size();
  char* text = TakeText(bytes);
  Packed record{text, {0, 0, 0, 0}, depth, late};
  for (int i = 0; i < count; ++i) {
    if (!texts[i].empty()) std::memcpy(text, texts[i].data(), texts[i].size());
    text += texts[i].size();
    record.lengths[i] = static_cast<uint32_t>(texts[i].size());
  }
  if (m_count % RECORDS_PER_CHUNK == 0)
    m_records.push_back(std::make_unique_for_overwrite<Packed[]>(RECORDS_PER_CHUNK));
  m_records.back()[m_count % RECORDS_PER_CHUNK] = record;
  const auto index = static_cast<uint32_t>(m_count++);
  // Adding goes with the hash index; the order is made again when it is next asked for.
  Release(m_order);
  // The record waiting from the last Add goes in now: its slot has had this record's work to
  // arrive from memory. This one waits in turn.
  FlushPending();
  if (m_hash.empty()) {
    IndexAll();
  } else if (late) {
    ++m_lateCount;
  } else {
    Grow();
    ++m_hashed;
    m_pending = static_cast<int64_t>(index);
    m_pendingTag = tag;
  }
}

std::string_view CRecordStore::Text(uint32_t index, int which) const {
  const Packed& record = RecordAt(index);
  const char* text = record.text;
  for (int i = 0; i < which; ++i) text += record.lengths[i];
  return std::string_view(text, record.lengths[which]);
}

// A slot is chosen by the top bits of the name's 32-bit tag, so that the slots of a table
// twice the size keep the order of the old ones: growing walks both tables front to back.
std::size_t CRecordStore::HomeSlot(uint32_t tag) const {
  return m_hashBits == 0 ? 0 : static_cast<std::size_t>(tag >> (32 - m_hashBits));
}

void CRecordStore::InsertIntoHash(uint32_t tag, uint32_t index) const {
  const std::size_t mask = m_hash.size() - 1;
  std::size_t slot = HomeSlot(tag);
  while (m_hash[slot] != 0) slot = (slot + 1) & mask;
  m_hash[slot] = static_cast<uint64_t>(tag) << 32 | (index + 1u);
}

void CRecordStore::FlushPending() const {
  if (m_pending < 0) return;
  InsertIntoHash(m_pendingTag, static_cast<uint32_t>(m_pending));
  m_pending = -1;
}

void CRecordStore::FlushLate() const {
  if (m_lateCount == 0) return;
  for (std::size_t i = m_lateFrom; i < m_count; ++i) {
    const auto index = static_cast<uint32_t>(i);
    if (!RecordAt(index).late) continue;
    Grow();
    ++m_hashed;
    InsertIntoHash(static_cast<uint32_t>(HashName(Name(index)) >> 32), index);
  }
  m_lateFrom = m_count;
  m_lateCount = 0;
}

// Every record into a new table (the first record, or the first added after a listing).
void CRecordStore::IndexAll() const {
  Release(m_order);
  int bits = 6;
  while ((std::size_t{1} << bits) < m_count * 2 + 2) ++bits;
  m_hash.assign(std::size_t{1} << bits, 0);
  m_hashBits = bits;
  for (std::size_t i = 0; i < m_count; ++i) {
    const auto index = static_cast<uint32_t>(i);
    InsertIntoHash(static_cast<uint32_t>(HashName(Name(index)) >> 32), index);
  }
  m_hashed = m_count;
  m_pending = -1;
  m_lateFrom = m_count;
  m_lateCount = 0;
}

// Makes room for one more entry: half full at most, so that a search for a name that is not
// there ends soon. The tags are kept in the entries: growing reads no name again.
void CRecordStore::Grow() const {
  if ((m_hashed + 1) * 2 <= m_hash.size()) return;
  decltype(m_hash) old;
  old.swap(m_hash);
  m_hash.assign(old.size() * 2, 0);
  ++m_hashBits;
  for (const uint64_t entry : old) {
    if (entry != 0) InsertIntoHash(static_cast<uint32_t>(entry >> 32), static_cast<uint32_t>(entry) - 1u);
  }
}

void CRecordStore::BuildOrder() const {
  // The hash goes first: the two indexes are never held at once.
  Release(m_hash);
  m_hashBits = 0;
  m_hashed = 0;
  m_pending = -1;
  m_lateFrom = m_count;
  m_lateCount = 0;
  std::vector<OrderKey, CMappedAllocator<OrderKey>> keys(m_count);
  uint64_t highDiffers = 0, lowDiffers = 0; // bits in which some key differs from the first
  for (std::size_t i = 0; i < m_count; ++i) {
    const std::string_view name = Name(static_cast<uint32_t>(i));
    keys[i] = {BigEndianPrefix(name.data(), name.size()),
               name.size() > 8 ? BigEndianPrefix(name.data() + 8, name.size() - 8) : 0,
               static_cast<uint32_t>(i)};
    highDiffers |= keys[i].high ^ keys[0].high;
    lowDiffers |= keys[i].low ^ keys[0].low;
  }
  // The sort starts at the first byte in which the keys differ: names made from one stem
  // share it, and a pass over every key for each shared byte is most of the sorting.
  const int shared = highDiffers != 0 ? std::countl_zero(highDiffers) / 8
                     : lowDiffers != 0 ? 8 + std::countl_zero(lowDiffers) / 8
                                       : 16;
  SortKeys(keys.data(), keys.data() + keys.size(), shared, [this](const OrderKey& a, const OrderKey& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return Name(a.index) < Name(b.index);
  });
  m_order.resize(m_count);
  for (std::size_t i = 0; i < m_count; ++i) m_order[i] = keys[i].index;
}

uint32_t CRecordStore::OrderedIndex(std::size_t position) const {
  if (m_order.size() != m_count) BuildOrder();
  return m_order[position];
}

int64_t CRecordStore::IndexOf(std::string_view name) const {
  if (m_count == 0) return -1;
  if (!m_hash.empty()) {
    if (m_lateCount > 0 && !name.empty() && name.back() == ']') FlushLate();
    if (m_pending >= 0 && Name(static_cast<uint32_t>(m_pending)) == name) return m_pending;
    const auto tag = static_cast<uint32_t>(HashName(name) >> 32);
    const std::size_t mask = m_hash.size() - 1;
    for (std::size_t slot = HomeSlot(tag); m_hash[slot] != 0; slot = (slot + 1) & mask) {
      const uint64_t entry = m_hash[slot];
      const auto index = static_cast<uint32_t>(entry) - 1u;
      if ((entry >> 32) == tag && Name(index) == name) return index;
    }
    return -1;
  }
  if (m_order.size() != m_count) BuildOrder();
  const auto it = std::lower_bound(m_order.begin(), m_order.end(), name,
                                   [this](uint32_t index, std::string_view n) { return Name(index) < n; });
  if (it == m_order.end() || Name(*it) != name) return -1;
  return *it;
}
