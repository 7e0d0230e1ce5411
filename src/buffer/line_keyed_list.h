#pragma once
// A value for the few lines of a text that have one (line flags, long lines' lengths), as
// (line, value) entries in line order found by halves. Value{} is no value: At gives it for a
// line without an entry, and Set removes the entry.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

template <class Value>
class CLineKeyedList {
public:
  Value At(int line) const {
    const auto it = From(line);
    return it != end() && it->first == line ? it->second : Value{};
  }

  void Set(int line, Value value) {
    const auto it = FromMutable(line);
    const bool listed = it != m_entries.end() && it->first == line;
    if (listed && value == Value{})
      m_entries.erase(it);
    else if (listed)
      it->second = value;
    else if (value != Value{})
      m_entries.insert(it, {line, value});
  }

  // Lines [at, at + removed) became `added` lines without values; the lines below move along.
  void Replace(int at, int removed, int added) {
    auto it = m_entries.erase(FromMutable(at), FromMutable(at + removed));
    for (; it != m_entries.end(); ++it) it->first += added - removed;
  }

  void DropFrom(int line) { m_entries.erase(FromMutable(line), m_entries.end()); }
  void Clear() { m_entries.clear(); }

  // The first entry for line or a line after it; with begin and end, for walks in line order.
  auto From(int line) const {
    return std::lower_bound(begin(), end(), line, [](const auto& e, int l) { return e.first < l; });
  }
  auto begin() const { return m_entries.begin(); }
  auto end() const { return m_entries.end(); }
  auto MemoryBytes() const { return m_entries.capacity() * sizeof(m_entries[0]); }

private:
  auto FromMutable(int line) { return m_entries.begin() + (From(line) - begin()); }

  std::vector<std::pair<int32_t, Value>> m_entries;
};
