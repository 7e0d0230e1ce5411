#include "source_encoding.h"

#include <QStringList>

#include "project_file.h"
#include "text_file_io.h"

std::optional<TextEncoding> HeaderEncoding(const IclHeader& header) {
  std::optional<TextEncoding> found;
  for (const IclCommand& command : header.commands)
    if (const auto encoding = EncodingFromSwitch(command.text)) found = encoding;
  return found;
}

std::optional<TextEncoding> ArgumentsEncoding(const std::vector<std::string>& arguments) {
  std::optional<TextEncoding> found;
  for (const std::string& argument : arguments)
    if (const auto encoding = EncodingFromSwitch(argument)) found = encoding;
  return found;
}

std::optional<TextEncoding> OptionsEncoding(const QString& userDefOptions) {
  std::vector<std::string> arguments;
  for (const QString& item : userDefOptions.split(QLatin1Char('|'), Qt::SkipEmptyParts))
    arguments.push_back("-" + item.trimmed().toStdString());
  return ArgumentsEncoding(arguments);
}

TextEncoding ChooseSourceEncoding(const IclHeader& header,
                                  std::optional<TextEncoding> commandLine, const Utf8Scan& bytes) {
  if (const auto named = HeaderEncoding(header)) return *named;
  if (commandLine) return *commandLine;
  return GuessEncoding(bytes);
}

TextEncoding BytesEncoding(std::string_view bytes, std::optional<TextEncoding> commandLine) {
  Utf8Scan scan;
  scan.Add(bytes);
  return ChooseSourceEncoding(ParseIclHeader(bytes, std::string()), commandLine, scan);
}

std::optional<TextEncoding> CommandLineEncoding(const ProjectFile* project,
                                                const QString& userDefOptions) {
  return project ? ArgumentsEncoding(project->switches) : OptionsEncoding(userDefOptions);
}

void AddEncodingSwitch(std::vector<std::string>& arguments, const IclHeader& header,
                       TextEncoding encoding) {
  if (encoding != TextEncoding::Utf8 || HeaderEncoding(header)) return;
  if (ArgumentsEncoding(arguments) == TextEncoding::Utf8) return;
  arguments.push_back("-Cu");
}

TextEncoding FileEncoding(const std::string& path, const IclHeader& header,
                          std::optional<TextEncoding> commandLine) {
  if (const auto named = HeaderEncoding(header)) return *named;
  if (commandLine) return *commandLine;
  std::string bytes;
  // A source larger than this is left to the compiler's default.
  constexpr size_t LIMIT = size_t{256} << 20;
  if (!ReadFileBytes(path, bytes, LIMIT)) return ENC_DEFAULT;
  Utf8Scan scan;
  scan.Add(bytes);
  return GuessEncoding(scan);
}
