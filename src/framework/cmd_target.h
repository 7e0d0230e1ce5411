#pragma once
#include <optional>
#include <string>

// What an update handler may say about a command: enabled, checked, and (for menu items only)
// its text. Tests and the frame read it back.
struct CCmdUIState {
  int id = 0;
  bool isMenuItem = false; // texts are set only on menu items
  bool enabled = true;
  bool checked = false;
  std::optional<std::string> text; // set by the handler when it changes the item's text
};

// A receiver of numeric commands. The command router (command_router.h) offers a command to
// the active view, its document, the child frame, the main frame and the application, in
// that order; the first target that answers decides.
//
// The rule every target keeps: OnUpdateCmdUI answers (returns true) for every command that
// OnCmdMsg carries out, setting enabled to true when the command is always available. A
// command that no target answers is disabled in menus, toolbar, accelerators and keys alike.
class CCmdTarget {
public:
  virtual ~CCmdTarget() = default;
  // Carries out command id; false when this target has no handler for it.
  virtual bool OnCmdMsg(int id) {
    (void)id;
    return false;
  }
  // Fills state for command id; false when this target has no update handler for it.
  virtual bool OnUpdateCmdUI(int id, CCmdUIState& state) {
    (void)id;
    (void)state;
    return false;
  }
};
