#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CLanguageIndex;

// One change of a rename: in file, the length bytes of the name at (line, col) become text.
struct CRenameEdit {
  int file;
  int line;
  int col;
  int length;
  std::string text;
  bool operator==(const CRenameEdit&) const = default;
};

// Why a rename cannot be made. The place (file, line) and the name in `what` say where.
enum class ERenameProblem : uint8_t {
  None,
  Unchanged,      // the new name is the old one
  BadName,        // not a name: a letter or "_" first, then letters, digits, "_"
  TooLong,        // longer than the compiler's 32 characters
  Reserved,       // a keyword, a directive or a statement
  NotDefined,     // the name has no definition in the indexed files
  LibraryDefined, // defined in a library file, which a rename must not change
  LibraryUsed,    // used in a library file
  ActionRoutine,  // an action's routine must keep the ending "Sub"
  Clash,          // the new name is defined or used already
  Local,          // a routine with a use of the name has a local variable of the new name
  Stale,          // the text no longer holds the name where the index has it
};

struct CRenamePlan {
  ERenameProblem problem = ERenameProblem::None;
  std::string what; // the clashing or offending name
  std::string kind; // Clash: the kind of the definition that is there already; empty for a use
  int file = -1;    // where the problem is
  int line = -1;
  std::vector<CRenameEdit> edits; // by file, line and column
};

// The lines of a file as they are now (an open document's buffer, else the disk); false
// when the file cannot be read.
using RenameLines = std::function<bool(int file, std::vector<std::string>& lines)>;

// Plans renaming name (of the index's name table) to newName in every place the index has a
// use of it, and with an action its routine ("Take" and "TakeSub" go together). Refused when
// the new name is not a fitting name, when a library file would change, when the new name is
// defined or used already, or is a local of a routine the rename reaches into.
CRenamePlan PlanRename(const CLanguageIndex& index, uint32_t name, std::string_view newName,
                       const std::function<bool(int file)>& isLibrary, const RenameLines& lines);

// Applies edits of one file (sorted, as a plan has them) to its bytes: lines end at LF, CR LF
// or CR, as the index reads them, and every byte but the renamed ones stays. False when an
// edit lies outside the text.
bool ApplyRenameEdits(std::string& bytes, const std::vector<CRenameEdit>& edits);
