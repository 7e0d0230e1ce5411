#pragma once
#include "command_table.h"

// A receiver of numeric commands. The command router (command_router.h) offers a command to
// the active view, its document, the child frame, the main frame and the application, in
// that order; the first target that answers decides.
//
// A target declares its commands in its table (m_commands), each with its enabled rule, so
// that every command it carries out is also answered. A command that no target answers is
// disabled in menus, toolbar, accelerators and keys alike. A target that hands its commands
// to another (a tab bar to its current page) overrides the two operations instead.
class CCmdTarget {
public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  // The table's entries run on this object: a copy would run them on the original.
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Carries out command id; false when this target has no handler for it.
  virtual bool OnCmdMsg(int id) { return m_commands.Execute(id); }
  // Fills state for command id; false when this target has no update handler for it.
  virtual bool OnUpdateCmdUI(int id, CCmdUIState& state) { return m_commands.Update(id, state); }

  const CCommandTable& Commands() const { return m_commands; }

protected:
  CCommandTable m_commands;
};
