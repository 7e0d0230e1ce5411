#include "walkthrough_commands.h"

#include <charconv>
#include <cstdio>

namespace {

constexpr std::string_view SEED_COMMENT = "seed:";
constexpr std::string_view WIDTH_COMMENT = "width:";
constexpr int MAX_SETTING = 1000000000;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// "# seed: 42" sets value; any other comment is only a comment.
void ReadSettingComment(std::string_view comment, std::string_view name, int& value) {
  comment = Trim(comment);
  if (comment.substr(0, name.size()) != name) return;
  const std::string_view number = Trim(comment.substr(name.size()));
  int parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (error == std::errc() && end == number.data() + number.size() && parsed > 0 &&
      parsed <= MAX_SETTING)
    value = parsed;
}

bool IsControlByte(unsigned char byte) {
  return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7f;
}

} // namespace

bool ParseWalkthroughCommands(std::string_view bytes, WalkthroughCommands& out, std::string& error) {
  out = WalkthroughCommands();
  int lineNumber = 1;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\n') ++lineNumber;
    if (!IsControlByte(byte)) continue;
    char text[120];
    std::snprintf(text, sizeof text,
                  "line %d holds the byte 0x%02X: a command file holds text only", lineNumber, byte);
    error = text;
    return false;
  }
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = Trim(bytes.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '#') {
      ReadSettingComment(line.substr(1), SEED_COMMENT, out.seed);
      ReadSettingComment(line.substr(1), WIDTH_COMMENT, out.width);
      continue;
    }
    out.commands.emplace_back(line);
  }
  return true;
}

std::string FormatWalkthroughCommands(const WalkthroughCommands& walkthrough, std::string& error) {
  std::string text;
  if (walkthrough.seed > 0) text += "# seed: " + std::to_string(walkthrough.seed) + '\n';
  if (walkthrough.width > 0) text += "# width: " + std::to_string(walkthrough.width) + '\n';
  for (size_t i = 0; i < walkthrough.commands.size(); ++i) {
    const std::string& command = walkthrough.commands[i];
    const std::string_view trimmed = Trim(command);
    bool control = false;
    for (const char c : command) control = control || IsControlByte(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
    if (trimmed.empty() || trimmed.front() == '#' || trimmed.size() != command.size() || control) {
      error = "command " + std::to_string(i + 1) + " (\"" + command +
              "\") cannot be kept in a command file: it is blank, starts with '#', has blanks "
              "around it or holds a control character";
      return std::string();
    }
    text += command + '\n';
  }
  return text;
}
