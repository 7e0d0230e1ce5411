#include "command_table.h"

#include <utility>

void CCommandTable::Add(int id, Run run, Rule enabled, Rule checked) {
  m_entries[id] = Entry{std::move(run), std::move(enabled), std::move(checked), {}};
}

void CCommandTable::AddRange(int first, int count, RangeRun run, RangeRule enabled,
                             RangeRule checked) {
  m_ranges.push_back(Range{first, count, std::move(run), std::move(enabled), std::move(checked)});
}

const CCommandTable::Range* CCommandTable::FindRange(int id) const {
  for (const Range& range : m_ranges)
    if (id >= range.first && id < range.first + range.count) return &range;
  return nullptr;
}

void CCommandTable::AddIndicator(int id, Rule enabled, Text text) {
  m_entries[id] = Entry{{}, std::move(enabled), {}, std::move(text)};
}

void CCommandTable::SetText(int id, Text text) {
  const auto it = m_entries.find(id);
  if (it != m_entries.end()) it->second.text = std::move(text);
}

bool CCommandTable::Execute(int id) const {
  // Copies: the command may destroy the target, and this table with it.
  const auto it = m_entries.find(id);
  if (it != m_entries.end()) {
    if (!it->second.run) return false;
    const Run run = it->second.run;
    run();
    return true;
  }
  const Range* range = FindRange(id);
  if (!range || !range->run) return false;
  const RangeRun run = range->run;
  run(id - range->first);
  return true;
}

bool CCommandTable::Update(int id, CCmdUIState& state) const {
  const auto it = m_entries.find(id);
  if (it == m_entries.end()) {
    const Range* range = FindRange(id);
    if (!range) return false;
    const int offset = id - range->first;
    state.enabled = range->enabled && range->enabled(offset);
    state.checked = range->checked && range->checked(offset);
    return true;
  }
  const Entry& entry = it->second;
  state.enabled = entry.enabled && entry.enabled();
  state.checked = entry.checked && entry.checked();
  // Panes always show their text; commands only name themselves in menus.
  if (entry.text && (state.isMenuItem || !entry.run)) state.text = entry.text(state);
  return true;
}

std::vector<int> CCommandTable::Unanswered() const {
  std::vector<int> ids;
  for (const auto& [id, entry] : m_entries)
    if (entry.run && !entry.enabled) ids.push_back(id);
  for (const Range& range : m_ranges)
    if (range.run && !range.enabled) ids.push_back(range.first);
  return ids;
}
