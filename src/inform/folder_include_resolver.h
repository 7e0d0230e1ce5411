#pragma once
#include <string>
#include <vector>

#include "language_index.h"

// The include search the language index uses until a game's project says where its files
// are: the including file's folder, then folders (in order), trying the name as written,
// with ".h" and ".inf", and in lower case. A leading ">" names the including file's own
// folder only; "language__" is the library's language file, English.
IncludeResolver MakeFolderIncludeResolver(std::vector<std::string> folders);

// The standard library's folder as Debian installs it.
inline constexpr const char* STANDARD_LIBRARY_FOLDER = "/usr/share/inform6/library";
