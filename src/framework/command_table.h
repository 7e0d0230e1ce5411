#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What an update handler may say about a command: enabled, checked, and (for menu items only)
// its text. Tests and the frame read it back.
struct CCmdUIState {
  int id = 0;
  bool isMenuItem = false; // texts are set only on menu items
  bool enabled = true;
  bool checked = false;
  std::optional<std::string> text; // set by the handler when it changes the item's text
};

// The commands of one target, each declared once: what it runs, when it is enabled, when it
// carries a check mark and, for menu items and status panes, its text. A derived target
// declares over its base's entries (the later declaration of an id wins).
class CCommandTable {
public:
  using Run = std::function<void()>;
  using Rule = std::function<bool()>;
  // No text leaves the item's own (or, on a pane, the binder's lit text).
  using Text = std::function<std::optional<std::string>(const CCmdUIState& state)>;
  static inline const Rule ALWAYS = [] { return true; };

  // A command: run carries it out; it is offered while enabled says so.
  void Add(int id, Run run, Rule enabled, Rule checked = {});
  // count commands from first, run and ruled alike; the rules get the offset from first.
  using RangeRun = std::function<void(int offset)>;
  using RangeRule = std::function<bool(int offset)>;
  void AddRange(int first, int count, RangeRun run, RangeRule enabled, RangeRule checked = {});
  // A shown state that is never run (a status pane): enabled, and its text when it has one.
  void AddIndicator(int id, Rule enabled, Text text = {});
  // The menu text of a declared command, made from its state once enabled is known.
  void SetText(int id, Text text);

  // Runs id; false when the table does not run it.
  bool Execute(int id) const;
  // Fills state for id; false when the table does not declare it.
  bool Update(int id, CCmdUIState& state) const;
  // The ids that are run but have no enabled rule: a broken declaration (the binder refuses
  // it at registration).
  std::vector<int> Unanswered() const;

private:
  struct Entry {
    Run run;
    Rule enabled;
    Rule checked;
    Text text;
  };
  struct Range {
    int first;
    int count;
    RangeRun run;
    RangeRule enabled;
    RangeRule checked;
  };
  const Range* FindRange(int id) const;

  std::map<int, Entry> m_entries;
  std::vector<Range> m_ranges; // looked at after the single entries

};
