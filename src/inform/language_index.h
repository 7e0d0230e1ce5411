#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "index_name_table.h"
#include "index_records.h"

class CScanLineSource;

// Finds the file an Include names, as the compiler would from the including file; empty when
// there is none. The project model supplies it; the index only asks.
using IncludeResolver = std::function<std::optional<std::string>(std::string_view includeName, const std::string& includingPath)>;
// Reads a whole file; false when it cannot.
using IndexFileReader = std::function<bool(const std::string& path, std::string& text)>;

// A place in an indexed file (0-based line, byte column).
struct CIndexLocation {
  int32_t file;
  int32_t line;
  int32_t col;
  bool operator==(const CIndexLocation&) const = default;
};

// What conditional compilation depends on: the target and the symbols defined from outside.
struct CBranchContext {
  bool glulx = false;
  int zVersion = 5;
  std::vector<std::string> defined; // DEBUG, USE_..., given to the compiler
};

// One stretch of a conditional: from its directive's line to the line of the #Ifnot or
// #Endif that ends it, whether it is compiled, and the names it defines.
struct CIndexBranch {
  int32_t firstLine;
  int32_t lastLine;
  bool active;
  std::string condition; // "#Ifdef DEBUG", "#Ifnot" ...
  std::vector<uint32_t> defines;
};

// The language index of a game: every definition in its main file and in everything the
// main file includes, every use of every name, and the directives of conditional
// compilation. Files are read by the parser line by line; after an edit only the changed
// lines and the directives they touch are read again.
class CLanguageIndex {
public:
  CLanguageIndex();
  ~CLanguageIndex();
  CLanguageIndex(const CLanguageIndex&) = delete;
  CLanguageIndex& operator=(const CLanguageIndex&) = delete;

  // Indexes mainPath and every file it includes, transitively, read through reader and found
  // through resolver. Returns the main file's id, or -1 when it cannot be read.
  int IndexProject(const std::string& mainPath, const IncludeResolver& resolver, const IndexFileReader& reader);
  // Reads the files that includes name and that are not indexed yet (after an edit added an
  // Include, or a file was read again). Returns how many were read.
  int IndexMissingIncludes(const IncludeResolver& resolver, const IndexFileReader& reader);

  // Resolves the includes not yet found and returns a file one of them names that is not
  // indexed yet and not known to be unreadable, or -1: the next file to read.
  int NextUnindexedInclude(const IncludeResolver& resolver);
  // The file could not be read: it is not asked for again until it is indexed.
  void SetUnreadable(int file);
  bool IsIndexed(int file) const;

  // The id of path, made when it is new (its records empty until it is indexed).
  int FileId(const std::string& path);
  std::optional<int> FindFile(const std::string& path) const;
  const std::string& FilePath(int file) const;
  int FileCount() const;

  // Indexes the whole of source as file's text.
  void IndexFile(int file, const CScanLineSource& source);
  // After an edit replaced oldCount lines from firstLine with newCount lines (source holds
  // the text after it): reads again the changed lines and the directives around them.
  // Returns the number of lines read.
  int ReplaceLines(int file, const CScanLineSource& source, int firstLine, int oldCount, int newCount);

  const CIndexNameTable& Names() const { return m_names; }
  const std::string& NameOf(uint32_t name) const { return m_names.Spelling(name); }
  // Every definition, with those derived from the whole (actions, individual properties),
  // in the order of the files and lines.
  std::vector<CIndexDefinition> AllDefinitions() const;
  // The use of a name at (line, col) of file: the word the position is in.
  std::optional<CIndexReference> ReferenceAt(int file, int line, int col) const;
  // The file an Include at line of file names, when it was found.
  std::optional<int> IncludeAt(int file, int line) const;
  // The definitions of name fitting the role it has where it is used: the winner first (a
  // replacing routine before the replaced one; a property's declaration before the classes
  // that give it a value).
  std::vector<CIndexDefinition> FindDefinitions(uint32_t name, ERefRole role) const;
  // Go to definition from a position: its definitions, or the included file's first line.
  std::vector<CIndexLocation> GoTo(int file, int line, int col) const;
  // Every use of name (definitions included), in the order of the files and lines.
  std::vector<CIndexLocation> References(uint32_t name) const;
  // The conditional stretches of file as compiled in context.
  std::vector<CIndexBranch> Branches(int file, const CBranchContext& context) const;

  // Counts the changes: completion keeps what it built from the index while this stays.
  uint64_t Version() const { return m_version; }
  // The file says System_file: one of a library's.
  bool IsSystemFile(int file) const;

  // Bytes held by the index, for the memory measure.
  std::size_t MemoryBytes() const;

private:
  struct CFile;
  const CIndexRecords& RecordsOf(int file) const;
  void Rebuild() const;
  void DeriveActions() const;
  void DeriveProperties() const;
  void DeriveParents(const CFile& file) const;
  void MarkReplaced() const;
  void ResolveIncludes(int file, const IncludeResolver& resolver);

  mutable CIndexNameTable m_names; // queries add the names of the actions they derive
  std::vector<std::unique_ptr<CFile>> m_files;
  std::unordered_map<std::string, int> m_fileIds;
  int m_mainFile = -1;
  uint64_t m_version = 0;

  // Built from the files when a query needs it after a change.
  mutable bool m_dirty = true;
  mutable std::vector<CIndexDefinition> m_derived;
  mutable std::unordered_multimap<uint32_t, CIndexDefinition> m_byName;
};
