// torvane-cli colour FILE: the colouring of every line of FILE as the editor view computes
// it, one output line per text line: index, cookie returned, one hex digit per character.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_source.h"
#include "colouring.h"
#include "text_buffer.h"

namespace {

// Output is gathered in a block and written with fwrite: files can be large.
class COutputBlock {
public:
  explicit COutputBlock(std::FILE* out) : m_out(out) { m_data.reserve(BLOCK_SIZE + 64); }

  void Append(const char* text, size_t length) {
    m_data.insert(m_data.end(), text, text + length);
    if (m_data.size() >= BLOCK_SIZE) Flush();
  }
  char* Grow(size_t length) {
    const size_t old = m_data.size();
    m_data.resize(old + length);
    return m_data.data() + old;
  }
  void EndLine() {
    m_data.push_back('\n');
    if (m_data.size() >= BLOCK_SIZE) Flush();
  }
  bool Flush() {
    if (!m_data.empty() && std::fwrite(m_data.data(), 1, m_data.size(), m_out) != m_data.size())
      m_failed = true;
    m_data.clear();
    return !m_failed;
  }
  bool Finish() { return Flush() && std::fflush(m_out) == 0 && !m_failed; }

private:
  static constexpr size_t BLOCK_SIZE = 1 << 20;
  std::FILE* m_out;
  std::vector<char> m_data;
  bool m_failed = false;
};

int RunColour(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: torvane-cli colour FILE\n");
    return 2;
  }
  const char* path = argv[1];
  CTextBuffer buffer;
  if (!LoadCliSource(path, buffer)) return 2;

  static const char kHex[] = "0123456789abcdef";
  COutputBlock output(stdout);
  std::vector<StyleRun> runs;
  uint32_t cookie = 0;
  const int lineCount = buffer.LineCount();
  for (int line = 0; line < lineCount; ++line) {
    const int length = buffer.LineLength(line);
    if (runs.size() < static_cast<size_t>(length)) runs.resize(static_cast<size_t>(length));
    int runCount = 0;
    cookie = ColourLine(cookie, line, buffer.LineChars(line), length, runs.data(), runCount);

    char head[32];
    const int headLength = std::snprintf(head, sizeof head, "%d\t%08x\t", line, cookie);
    output.Append(head, static_cast<size_t>(headLength));
    char* digits = output.Grow(static_cast<size_t>(runCount));
    for (int i = 0; i < runCount; ++i) digits[i] = kHex[runs[static_cast<size_t>(i)].colourIndex & 0xF];
    output.EndLine();
  }
  if (!output.Finish()) {
    std::fprintf(stderr, "torvane-cli: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

const CCliCommandRegistrar kColourCommand(
    "colour", "colour FILE                  print each line's cookie and colour indices", RunColour);

} // namespace
