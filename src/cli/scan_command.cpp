// torvane-cli scan FILE: the objects, defined classes and routines the object bar would list
// for FILE, as tab-separated lines, then the scanner value.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli_command.h"
#include "cli_source.h"
#include "object_scanner.h"
#include "text_buffer.h"

namespace {

// Names and lines may hold any byte: escape what would break a tab-separated line or a
// terminal, so that every record stays one line.
void AppendEscaped(std::string& out, std::string_view text) {
  static const char HEX[] = "0123456789abcdef";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          out += "\\x";
          out += HEX[c >> 4];
          out += HEX[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
}

int RunScan(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: torvane-cli scan FILE\n");
    return 2;
  }
  const char* path = argv[1];
  CTextBuffer buffer;
  if (!LoadCliSource(path, buffer)) return 2;

  CObjectScanner scanner;
  scanner.ScanObjects(CBufferLineSource<CTextBuffer>(buffer));

  // The maps iterate in byte order of the names.
  std::string out;
  for (const CObjectRecord record : scanner.ObjectMap()) {
    out += "object\t";
    AppendEscaped(out, record.m_name);
    out += '\t';
    AppendEscaped(out, record.m_parent);
    out += '\t';
    AppendEscaped(out, record.m_class);
    out += '\t';
    out += std::to_string(record.m_depth);
    out += '\t';
    AppendEscaped(out, record.m_definitionLine);
    out += '\n';
  }
  for (const CClassRecord record : scanner.ClassMap()) {
    out += "class\t";
    AppendEscaped(out, record.m_name);
    out += '\t';
    AppendEscaped(out, record.m_definitionLine);
    out += '\n';
  }
  for (const CFunctionRecord record : scanner.FunctionMap()) {
    out += "function\t";
    AppendEscaped(out, record.m_name);
    out += '\t';
    AppendEscaped(out, record.m_definitionLine);
    out += '\n';
  }
  out += "depth\t" + std::to_string(scanner.ScannerValue()) + '\n';

  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "torvane-cli: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

const CCliCommandRegistrar
    SCAN_COMMAND("scan",
                 "scan FILE                    list the objects, classes and routines the object bar shows",
                 RunScan);

} // namespace
