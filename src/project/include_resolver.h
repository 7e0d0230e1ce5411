#pragma once
#include <string>
#include <string_view>
#include <vector>

// Finds the file an Include directive names, by the rules of Inform 6 on this system:
// - ">name" names a file in the folder of the including file;
// - a name holding a "/" is a path of its own (relative ones start in workingFolder);
// - any other name is looked for in each folder of includePath in turn, an empty entry
//   meaning workingFolder itself; relative folders start in workingFolder;
// - ".h" is added to a name without an extension (".inf" for the ">" form); a name ending in
//   "." loses the "." and takes no extension; any other extension stays as written;
// - names are taken as written: case matters, as it does to the file system.
// Returns the absolute path of the first regular file found, or an empty string.
std::string ResolveInclude(std::string_view name, const std::string& includingFile,
                           const std::vector<std::string>& includePath,
                           const std::string& workingFolder);

// The file name an Include of name looks for, extension rules applied ("Parser" ->
// "Parser.h", ">rooms" -> "rooms.inf", "a.inf" -> "a.inf", "b." -> "b"); the ">" is dropped.
std::string IncludeFileName(std::string_view name);
