#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "line_store.h"
#include "text_position.h"

// The bytes of a style's line end: Dos CR LF, Unix LF CR, Mac LF.
std::string_view LineEndSequence(LineEndStyle style);

// The style of a file from its first block (at most 32768 bytes
// are looked at): the first LF decides; none gives Dos.
LineEndStyle DetectLineEndStyle(const char* data, size_t size);

// Reads the file at path into lines (a fresh store), splitting at every occurrence of the
// style's sequence (requested, or detected when requested is Automatic). Every byte other
// than the line ends is kept, NUL included. Returns false when the file cannot be opened or
// read, is a directory, or does not fit (a line over 2 GB, more than 2^31 lines, no memory);
// lines may then hold part of the file and are to be thrown away.
bool ReadTextFile(const std::string& path, LineEndStyle requested, LineStore& lines,
                  LineEndStyle& style, bool& readOnly);

// Writes lines joined by lineEnd to path, replacing it in one step: a temporary file
// "CRExxxxxx" in the directory of the file (after following symbolic links) is written,
// flushed to disk, given the old file's permission bits and owner, and renamed over it.
// With createBackup, path + ".bak" is made to hold the old file first. On failure the old
// file is untouched and the temporary file removed.
bool WriteTextFile(const std::string& path, const LineStore& lines, std::string_view lineEnd,
                   bool createBackup);
