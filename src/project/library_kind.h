#pragma once
#include <string>

// The library a game is written for, as found beside the files it includes.
enum class LibraryKind {
  None,       // the game includes no library file
  Unknown,    // it includes files, but none of a library this program knows
  Standard,   // the Inform standard library (version.h: LIBRARY_VERSION, LibRelease)
  PunyInform, // PunyInform (globals.h: PUNYINFORM_MAJOR_VERSION, PUNYINFORM_MINOR_VERSION)
};

struct LibraryInfo {
  LibraryKind kind = LibraryKind::None;
  std::string version; // "6.12.6", "3.6"; empty when the files do not say
  std::string folder;  // absolute folder of the library's files; empty for None

  // "Standard library 6.12.6", "PunyInform 3.6", "no library", "unknown library".
  std::string Describe() const;
};

// Reads the library kept in folder: the standard library by its version.h, PunyInform by its
// globals.h. kind is Unknown when the folder holds neither (or cannot be read).
LibraryInfo IdentifyLibraryFolder(const std::string& folder);
