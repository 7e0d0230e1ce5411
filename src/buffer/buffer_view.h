#pragma once
#include <cstdint>
#include <string_view>

#include "undo_action.h"
#include "update_context.h"

// What the buffer asks of every view attached to it. The editor's text views implement it.
class CBufferView {
public:
  virtual ~CBufferView() = default;

  // After every change. sourceView is the view that made it (or null), context may be null,
  // line is the first affected line or -1.
  virtual void OnBufferChanged(CBufferView* sourceView, const UpdateContext* context,
                               uint32_t hints, int line) = 0;

  // Called by CloseUndoGroup while the group is still open, with the action and text of the
  // last applied undo record; the editing view inserts automatic indentation from here.
  virtual void OnEditPerformed(UndoAction action, std::string_view text) {
    (void)action;
    (void)text;
  }

  // Just before range (a Deletion) leaves the text, while it can still be read; the view
  // must not change the text from here. Screen readers are told what was deleted.
  virtual void OnTextRemoving(const UpdateContext& range) { (void)range; }

  // Just before the whole text is replaced (a load) or read in another encoding, while the
  // old one can still be read; an UPD_RESET follows. Screen readers are told what went.
  virtual void OnTextReplacing() {}

  // The buffer is being destroyed while this view is still attached: the view must drop
  // every pointer to it (it may still call DetachView from here).
  virtual void OnBufferDestroyed() {}
};
