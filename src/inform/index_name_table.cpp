#include "index_name_table.h"

#include "inform_lexer.h"

uint32_t CIndexNameTable::Intern(std::string_view name) {
  LowerInto(name, m_lower);
  const auto found = m_ids.find(std::string_view(m_lower));
  if (found != m_ids.end()) return found->second;
  const auto id = static_cast<uint32_t>(m_spellings.size());
  m_ids.emplace(m_lower, id);
  m_spellings.emplace_back(name);
  return id;
}

std::optional<uint32_t> CIndexNameTable::Find(std::string_view name) const {
  LowerInto(name, m_lower);
  const auto found = m_ids.find(std::string_view(m_lower));
  if (found == m_ids.end()) return std::nullopt;
  return found->second;
}

std::size_t CIndexNameTable::MemoryBytes() const {
  std::size_t bytes = m_spellings.capacity() * sizeof(std::string) + m_ids.bucket_count() * sizeof(void*);
  for (const std::string& s : m_spellings) {
    // Each name twice (spelling and key), plus a hash node.
    const std::size_t heap = s.size() > 15 ? s.capacity() + 1 : 0;
    bytes += 2 * heap + sizeof(std::string) + sizeof(uint32_t) + 2 * sizeof(void*);
  }
  return bytes;
}
