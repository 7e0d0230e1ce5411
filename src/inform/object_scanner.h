#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The object scanner: a line-oriented pass over a document's text that collects the objects
// and routines defined in column 0, for the object bar. It reads the first few tokens of each
// line and is a heuristic, not an Inform parser.

// One object definition found by a scan.
class CObjectRecord {
public:
  CObjectRecord(std::string name, std::string parent, std::string definitionLine,
                std::string className, int depth)
      : m_name(std::move(name)), m_parent(std::move(parent)),
        m_definitionLine(std::move(definitionLine)), m_class(std::move(className)), m_depth(depth) {
  }
  virtual ~CObjectRecord() = default;

  std::string m_name;           // equal to its key in the object map
  std::string m_parent;         // as written in the source, or empty
  std::string m_definitionLine; // the first DEFINITION_LINE_LENGTH bytes of the line
  std::string m_class;          // empty for Object and Nearby definitions
  int m_depth;                  // 0 for a top-level object
};

// One routine definition found by a scan.
class CFunctionRecord {
public:
  CFunctionRecord(std::string name, std::string definitionLine)
      : m_name(std::move(name)), m_definitionLine(std::move(definitionLine)) {}
  virtual ~CFunctionRecord() = default;

  std::string m_name;
  std::string m_definitionLine;
};

// Records keyed by their name (exact, case-sensitive); the map owns them, so emptying or
// destroying the map deletes them. Iteration is in byte order of the names.
using CObjectMap = std::map<std::string, std::unique_ptr<CObjectRecord>>;
using CFunctionMap = std::map<std::string, std::unique_ptr<CFunctionRecord>>;

// Where a scan reads its lines. The text buffer satisfies it through CBufferLineSource.
class CScanLineSource {
public:
  virtual ~CScanLineSource() = default;
  virtual int LineCount() const = 0;
  virtual int LineLength(int line) const = 0;
  virtual const char* LineChars(int line) const = 0; // not NUL-terminated
};

// Any buffer with LineCount, LineLength and LineChars (CCrystalTextBuffer).
template <class TBuffer> class CBufferLineSource final : public CScanLineSource {
public:
  explicit CBufferLineSource(const TBuffer& buffer) : m_buffer(buffer) {}
  int LineCount() const override { return m_buffer.LineCount(); }
  int LineLength(int line) const override { return m_buffer.LineLength(line); }
  const char* LineChars(int line) const override { return m_buffer.LineChars(line); }

private:
  const TBuffer& m_buffer;
};

// Lines held as strings (tools and tests).
class CStringLineSource final : public CScanLineSource {
public:
  CStringLineSource() = default;
  explicit CStringLineSource(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
  // Splits at LF, CR LF or CR.
  static CStringLineSource FromText(std::string_view text);

  int LineCount() const override { return static_cast<int>(m_lines.size()); }
  int LineLength(int line) const override { return static_cast<int>(m_lines[line].size()); }
  const char* LineChars(int line) const override { return m_lines[line].data(); }
  std::vector<std::string>& Lines() { return m_lines; }

private:
  std::vector<std::string> m_lines;
};

// What a scan asks of the user interface: a progress display for its lifetime, stepped once
// per line, and the dispatch of pending events once per line so the window stays responsive.
// The GUI gives it the status-bar progress bar and the event loop; a pump that meets a quit
// request must post it again and return, the scan carries on. Every operation defaults to
// doing nothing.
class CScanHost {
public:
  virtual ~CScanHost() = default;
  virtual void BeginProgress(const std::string& message, int sizePercent, int maximum, bool smooth,
                             int pane);
  virtual void StepProgress();
  virtual void EndProgress();
  virtual void PumpMessages();
};

// The scan records of one document: the object map, the function map and the scanner value.
class CObjectScanner {
public:
  static constexpr int NESTING_SLOTS = 10; // depths 0 to 9
  static constexpr std::size_t DEFINITION_LINE_LENGTH = 29;
  static constexpr const char* PROGRESS_MESSAGE = "Parsing Objects:";
  static constexpr int PROGRESS_SIZE = 99;
  static constexpr const char* UNTITLED = "Untitled";

  CObjectScanner();
  ~CObjectScanner();
  CObjectScanner(const CObjectScanner&) = delete;
  CObjectScanner& operator=(const CObjectScanner&) = delete;

  // Scans every line of source and adds the records found. Returns false without scanning
  // when a scan of this object is already running (a command arriving while the scan pumps
  // events), and false when the scan stopped early because this object was destroyed or the
  // text lost the line about to be read while events were dispatched; true otherwise.
  // When the scanner is destroyed during the scan, the host is not called again (it may have
  // gone with it), so a host must end its progress display in its own destructor as well.
  bool ScanObjects(const CScanLineSource& source, CScanHost* host = nullptr);
  bool IsScanning() const { return m_scanning; }

  // Store a record under a unique name (name, name[02], name[03] ... for objects; name,
  // name[2], name[3] ... for functions) and return the name used.
  std::string AddObject(const std::string& name, const std::string& definitionLine,
                        const std::string& parent, const std::string& className, int depth);
  std::string AddFunction(const std::string& name, const std::string& definitionLine);

  // The depth of the object record whose key is exactly name, or 1 when there is none.
  int GetObjectLevel(const std::string& name) const;

  // Deletes every record of both maps. The scanner value stays.
  void DeleteRecords();

  const CObjectMap& ObjectMap() const { return m_objects; }
  const CFunctionMap& FunctionMap() const { return m_functions; }
  // The greatest depth of any object record added since this object was made; never lowered.
  int ScannerValue() const { return m_scannerValue; }

private:
  void ScanLine(std::string_view line, std::array<std::string, NESTING_SLOTS>& slots);
  void ScanObjectDefinition(std::string_view line, std::size_t pos, std::string_view first,
                            std::array<std::string, NESTING_SLOTS>& slots);

  CObjectMap m_objects;
  CFunctionMap m_functions;
  // For each name that needed a suffix, the first suffix number not yet known to be taken,
  // so that a run of clashing names does not test every earlier suffix again.
  std::unordered_map<std::string, int> m_nextObjectSuffix;
  std::unordered_map<std::string, int> m_nextFunctionSuffix;
  int m_scannerValue = 0;
  bool m_scanning = false;
  // Cleared by the destructor; a scan holds a share of it to notice its scanner going away
  // while it dispatches events.
  std::shared_ptr<bool> m_alive;
};

// The tokenizer: skips space characters and reads one token from line at pos, leaving pos
// where reading stopped. ";" is returned without moving past it. An arrow token ("-> ->") has
// its trailing spaces dropped; a string token runs to its closing quote or the line's end.
// Tokens are kept whole, whatever their length.
std::string GetToken(std::string_view line, std::size_t& pos);

// True when token begins, ignoring case, with one of the 35 directive names.
bool IsDirective(std::string_view token);
// The 35 directive names.
const std::array<const char*, 35>& DirectiveNames();
