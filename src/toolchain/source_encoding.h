#pragma once
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "icl_header.h"
#include "text_encoding.h"

struct ProjectFile;

// The character set the last -C switch of a header, of compiler arguments or of the stored
// additional options ("Cu|e|", each item a switch without its "-") names; nothing when none
// does.
std::optional<TextEncoding> HeaderEncoding(const IclHeader& header);
std::optional<TextEncoding> ArgumentsEncoding(const std::vector<std::string>& arguments);
std::optional<TextEncoding> OptionsEncoding(const QString& userDefOptions);

// The encoding a source is read in, as the compiler will read it: the header's -C switch,
// else the command line's (commandLine: the project's switches, or the additional options),
// else UTF-8 for bytes that are valid UTF-8 with some non-ASCII byte, else ISO 8859-1.
TextEncoding ChooseSourceEncoding(const IclHeader& header,
                                  std::optional<TextEncoding> commandLine, const Utf8Scan& bytes);

// The encoding of a source whose bytes are at hand (a file read whole that no window holds):
// ChooseSourceEncoding over the header at their top and the bytes themselves.
TextEncoding BytesEncoding(std::string_view bytes, std::optional<TextEncoding> commandLine);

// The -C switch of the build of a main file: what the project's switches name, or the
// additional options of a file outside a project.
std::optional<TextEncoding> CommandLineEncoding(const ProjectFile* project,
                                                const QString& userDefOptions);

// Makes arguments (the compiler's, before the main file) read the main file in encoding:
// "-Cu" is appended for UTF-8 unless the header names a character set of its own (the
// header has the last word) or the arguments already end up with UTF-8. Other encodings add
// nothing: ISO 8859-1 is the compiler's default, and -Cn is only read where it was written.
void AddEncodingSwitch(std::vector<std::string>& arguments, const IclHeader& header,
                       TextEncoding encoding);

// The encoding of a main file on disk with its header and command line (for a build whose
// document is not open): ChooseSourceEncoding over its bytes; ISO 8859-1 when it cannot be read.
TextEncoding FileEncoding(const std::string& path, const IclHeader& header,
                          std::optional<TextEncoding> commandLine);
