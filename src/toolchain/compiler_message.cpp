#include "compiler_message.h"

#include <cstddef>

namespace {

constexpr std::string_view WARNING_KIND = "Warning:";
constexpr std::string_view ERROR_KINDS[] = {"Error:", "Fatal error:", "*** Compiler error:"};
constexpr std::size_t MAX_DIGITS = 9; // a line number beyond that is no line number

// The kind that opens rest after optional blanks: whether it is a warning, and the text after
// it; nothing for other text.
struct Kind {
  bool warning;
  std::string_view text;
};
std::string_view TrimFront(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}
std::optional<Kind> ReadKind(std::string_view rest) {
  rest = TrimFront(rest);
  if (rest.starts_with(WARNING_KIND)) return Kind{true, TrimFront(rest.substr(WARNING_KIND.size()))};
  for (std::string_view kind : ERROR_KINDS)
    if (rest.starts_with(kind)) return Kind{false, TrimFront(rest.substr(kind.size()))};
  return std::nullopt;
}

// Under #OrigSource the -E0 place is followed by the origin, ("file", L:C), before the kind.
// Its file may hold anything, so each "): " is tried in turn.
std::optional<Kind> ReadKindAfterOrigin(std::string_view rest) {
  if (std::optional<Kind> kind = ReadKind(rest)) return kind;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (!rest.starts_with("(\"")) return std::nullopt;
  for (std::size_t end = rest.find("): "); end != std::string_view::npos;
       end = rest.find("): ", end + 1))
    if (std::optional<Kind> kind = ReadKind(rest.substr(end + 3))) return kind;
  return std::nullopt;
}

// The line number at text[at]: its value and where its digits end. Nothing when there are
// no digits, too many, or the value is 0.
struct Number {
  int value;
  std::size_t end;
};
std::optional<Number> ReadNumber(std::string_view text, std::size_t at) {
  Number number{0, at};
  while (number.end < text.size() && number.end - at <= MAX_DIGITS && text[number.end] >= '0' &&
         text[number.end] <= '9')
    number.value = number.value * 10 + (text[number.end++] - '0');
  if (number.end == at || number.end - at > MAX_DIGITS || number.value == 0) return std::nullopt;
  return number;
}

// Tries attempt(at) at each place of marker in line from `from` on, leftmost first.
template <typename Attempt>
std::optional<CompilerMessage> FirstFromLeft(std::string_view line, std::string_view marker,
                                             std::size_t from, Attempt attempt) {
  for (std::size_t at = line.find(marker, from); at != std::string_view::npos;
       at = line.find(marker, at + 1))
    if (std::optional<CompilerMessage> message = attempt(at)) return message;
  return std::nullopt;
}

// The message whose number starts at line[digits] and whose kind follows the number and then
// `between`; file is the file as printed.
std::optional<CompilerMessage> Finish(std::string_view line, std::size_t digits,
                                      std::string_view between, std::string_view file,
                                      bool origin = false) {
  const std::optional<Number> number = ReadNumber(line, digits);
  if (!number || !line.substr(number->end).starts_with(between)) return std::nullopt;
  const std::string_view rest = line.substr(number->end + between.size());
  const std::optional<Kind> kind = origin ? ReadKindAfterOrigin(rest) : ReadKind(rest);
  if (!kind) return std::nullopt;
  return CompilerMessage{std::string(file), number->value, kind->warning, std::string(kind->text)};
}

// -E0: line N: ...   or   "file", line N: ...
std::optional<CompilerMessage> ParseLineForm(std::string_view line) {
  constexpr std::string_view main = "line ";
  if (line.starts_with(main)) return Finish(line, main.size(), ":", {}, true);
  if (!line.starts_with('"')) return std::nullopt;
  constexpr std::string_view marker = "\", line ";
  return FirstFromLeft(line, marker, 1, [&](std::size_t at) {
    return Finish(line, at + marker.size(), ":", line.substr(1, at - 1), true);
  });
}

// -E2: File "file"; Line N<tab># ...
std::optional<CompilerMessage> ParseFileForm(std::string_view line) {
  constexpr std::string_view start = "File \"";
  constexpr std::string_view marker = "\"; Line ";
  if (!line.starts_with(start)) return std::nullopt;
  return FirstFromLeft(line, marker, start.size(), [&](std::size_t at) {
    return Finish(line, at + marker.size(), "\t#",
                  line.substr(start.size(), at - start.size()));
  });
}

// -E1: file(N): ...   The file may hold brackets of its own.
std::optional<CompilerMessage> ParseBracketForm(std::string_view line) {
  return FirstFromLeft(line, "(", 1, [&](std::size_t open) {
    return Finish(line, open + 1, "):", line.substr(0, open));
  });
}

} // namespace

std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (std::optional<CompilerMessage> message = ParseLineForm(line)) return message;
  if (std::optional<CompilerMessage> message = ParseFileForm(line)) return message;
  return ParseBracketForm(line);
}

std::optional<CompilerMessage> CCompilerMessageReader::ReadLine(std::string_view line) {
  const bool echo = m_afterMessage && line.starts_with("> ");
  std::optional<CompilerMessage> message =
      echo ? std::nullopt : ParseCompilerMessage(line);
  m_afterMessage = message.has_value();
  return message;
}
