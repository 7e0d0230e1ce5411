#include "compiler_options.h"

#include <cctype>

namespace {

class COptionsBuilder {
public:
  COptionsBuilder(CompilerOptions& options, const std::vector<std::string>& knownSwitches)
      : m_options(options), m_known(knownSwitches) {}

  void Apply(const std::string& command, const std::string& file, int line) {
    m_file = &file;
    m_line = line;
    if (command.empty()) return;
    switch (command.front()) {
    case '-': ApplySwitches(command); break;
    case '+': ApplyPath(command); break;
    case '$': ApplySetting(command); break;
    default: break; // "(file)": a command file, not followed here
    }
  }

  StoryTarget Target() const {
    if (m_glulx) return StoryTarget::Glulx;
    constexpr StoryTarget Z[] = {StoryTarget::Z3, StoryTarget::Z4, StoryTarget::Z5,
                                 StoryTarget::Z6, StoryTarget::Z7, StoryTarget::Z8};
    return Z[m_zVersion - 3];
  }

private:
  void Problem(const std::string& text) { m_options.problems.push_back({*m_file, m_line, text}); }

  bool Known(char letter) const {
    if (m_known.empty()) return true;
    for (const std::string& known : m_known)
      if (!known.empty() && known.front() == letter) return true;
    return false;
  }

  static bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

  // "-v3s", "-~S", "-Cu", "-d2", "-W6": letters, some with a figure after them.
  void ApplySwitches(const std::string& text) {
    bool negate = false;
    for (size_t i = 1; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '~') {
        negate = true;
        continue;
      }
      const char next = i + 1 < text.size() ? text[i + 1] : '\0';
      if (!Known(c)) {
        Problem("Switch \"-" + std::string(1, c) + "\" unknown (try \"inform -h2\" for the list)");
      } else if (c == 'v') {
        if (next >= '3' && next <= '8') {
          m_zVersion = next - '0';
          m_versionGiven = true;
          ++i;
        } else {
          Problem("-v must be followed by 3 to 8");
        }
      } else if (c == 'C') {
        // The compiler takes the next character whatever it is.
        if (next == 'u' || IsDigit(next)) {
          m_options.characterSet = std::string(1, next);
        } else {
          Problem("-C must be followed by 'u' or 0 to 9. Defaulting to ISO-8859-1.");
          m_options.characterSet = "1";
        }
        if (next != '\0') ++i;
      } else if (c == 'W') {
        while (i + 1 < text.size() && IsDigit(text[i + 1])) ++i;
      } else if ((c == 'a' || c == 'd' || c == 'g' || c == 'h' || c == 'E') && IsDigit(next)) {
        ++i;
      } else if (c == 'G') {
        if (negate) {
          m_glulx = false;
        } else if (m_versionGiven) {
          Problem("The '-G' switch cannot follow the '-v' switch");
        } else {
          m_glulx = true;
        }
      } else if (c == 'D') {
        m_options.debug = !negate;
      } else if (c == 'S') {
        m_options.strict = !negate;
      } else if (c == 'k') {
        m_options.debugFile = !negate;
      }
      negate = false;
    }
  }

  static std::vector<std::string> SplitPath(const std::string& list) {
    std::vector<std::string> folders;
    size_t start = 0;
    for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
      folders.push_back(list.substr(start, comma - start));
    folders.push_back(list.substr(start));
    return folders;
  }

  void ApplyPath(const std::string& text) {
    const bool add = text.size() > 1 && text[1] == '+';
    const size_t nameStart = add ? 2 : 1;
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return;
    const std::string name = text.substr(nameStart, equals - nameStart);
    const std::string value = text.substr(equals + 1);
    if (name == "include_path") {
      if (!add) m_options.includePath.clear();
      // "+include_path=" with nothing unsets the path.
      if (value.empty() && !add) return;
      for (std::string& folder : SplitPath(value)) m_options.includePath.push_back(std::move(folder));
    } else if (name == "language_name") {
      m_options.languageName = value;
    }
  }

  void ApplySetting(const std::string& text) {
    if (text.size() > 1 && text[1] == '#')
      m_options.symbols.push_back(text);
    else if (text.find('=') != std::string::npos)
      m_options.memorySettings.push_back(text);
  }

  CompilerOptions& m_options;
  const std::vector<std::string>& m_known;
  const std::string* m_file = nullptr;
  int m_line = 0;
  int m_zVersion = 5;
  bool m_versionGiven = false;
  bool m_glulx = false;
};

} // namespace

CompilerOptions ResolveCompilerOptions(const std::vector<std::string>& commandLine,
                                       const IclHeader& header, int compilerVersion,
                                       const std::vector<std::string>& knownSwitches) {
  CompilerOptions options;
  COptionsBuilder builder(options, knownSwitches);
  const std::string commandLineOrigin = COMMAND_LINE_ORIGIN;
  auto applyCommandLine = [&] {
    for (const std::string& argument : commandLine) builder.Apply(argument, commandLineOrigin, 0);
  };
  auto applyHeader = [&] {
    for (const IclCommand& command : header.commands)
      builder.Apply(command.text, header.fileName, command.line);
  };
  if (compilerVersion >= ICL_COMMAND_LINE_WINS_FROM) {
    applyHeader();
    applyCommandLine();
  } else {
    applyCommandLine();
    applyHeader();
  }
  options.target = builder.Target();
  return options;
}
