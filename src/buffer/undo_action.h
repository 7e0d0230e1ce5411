#pragma once
#include <cstdint>

// The kind of a change, for the Undo/Redo menu descriptions only.
enum class UndoAction : int32_t {
  Unknown = 0,
  Paste = 1,
  DeleteSelection = 2,
  Cut = 3,
  Typing = 4,
  Backspace = 5,
  Indent = 6,
  DragAndDrop = 7,
  Replace = 8,
  Delete = 9,
  AutoIndent = 10,
  Insert = 11, // a definition the Insert menu wrote
  ConvertEncoding = 12,
};
