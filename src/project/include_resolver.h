#pragma once
#include <string>
#include <string_view>
#include <vector>

// Finds the file an Include directive names, by the compiler's rules:
// - ">name" is looked for only in the folder of the including file;
// - any other name in each folder of includePath in turn (the compiler is given the library
//   path and the project's folders there), then in the including file's folder;
// - a name without an extension is tried with ".h" and then as written; one with an
//   extension (".h", ".inf", anything) only as written;
// - names are compared as the file system does (case matters on Linux).
// Returns the absolute path of the first regular file found, or an empty string.
std::string ResolveInclude(std::string_view name, const std::string& includingFile,
                           const std::vector<std::string>& includePath);
