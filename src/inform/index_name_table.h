#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Names of the index as small numbers. Inform's names ignore letter case, so a name is kept
// by its lower case, and shown as it was first written.
class CIndexNameTable {
public:
  uint32_t Intern(std::string_view name);
  std::optional<uint32_t> Find(std::string_view name) const;
  const std::string& Spelling(uint32_t id) const { return m_spellings[id]; }
  std::size_t Count() const { return m_spellings.size(); }
  std::size_t MemoryBytes() const;

private:
  struct CHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, uint32_t, CHash, std::equal_to<>> m_ids; // by lower case
  std::vector<std::string> m_spellings;
  mutable std::string m_lower; // room for the lower case of a name looked up
};
