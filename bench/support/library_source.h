#pragma once
// The big source the editor benchmarks open: the seven regular files of Debian's Inform
// library, one after another, copies times (100 copies: 48 MB).
#include <string>

#include <QFile>
#include <QLatin1String>

// Empty when the library cannot be read.
inline std::string LibrarySource(int copies = 100) {
  std::string one;
  for (const char* name : {"english.h", "grammar.h", "infix.h", "linklpa.h", "parser.h", "verblib.h", "version.h"}) {
    QFile file(QStringLiteral("/usr/share/inform6/library/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    one += file.readAll().toStdString();
  }
  std::string source;
  source.reserve(one.size() * static_cast<std::size_t>(copies));
  for (int i = 0; i < copies; ++i) source += one;
  return source;
}
