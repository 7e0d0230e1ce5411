#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "file_error.h"
#include "line_store.h"
#include "text_position.h"

// The bytes of a style's line end: Dos CR LF, Unix LF CR, Mac LF.
std::string_view LineEndSequence(LineEndStyle style);

// The style of a file from its first block (at most 32768 bytes
// are looked at): the first LF decides; none gives Dos.
LineEndStyle DetectLineEndStyle(const char* data, size_t size);

// Reads the file at path into lines (a fresh store), splitting at every occurrence of the
// style's sequence (requested, or detected when requested is Automatic). Every byte other
// than the line ends is kept, NUL included. Only regular files are read: a directory, pipe or
// device is refused without waiting for it. Returns false when the file cannot be opened or
// read, or does not fit (a line longer than lines.MaxLineLength(), more than 2^31 lines, no
// memory), with the reason in error when given; lines may then hold part of the file and are
// to be thrown away. pump, when given, is called after each block of the file has been split
// (a megabyte); when it returns false the read stops with ECANCELED.
bool ReadTextFile(const std::string& path, LineEndStyle requested, CLineStore& lines,
                  LineEndStyle& style, bool& readOnly, FileError* error = nullptr,
                  const std::function<bool()>& pump = {});

// Writes lines joined by lineEnd to path, replacing it in one step: a temporary file
// "CRExxxxxx" in the directory of the file (after following symbolic links) is written,
// flushed to disk, given the old file's permission bits and owner, and renamed over it.
// With createBackup, path + ".bak" is made to hold the old file first. On failure the old
// file is untouched, the temporary file removed, and the reason in error when given.
bool WriteTextFile(const std::string& path, const CLineStore& lines, std::string_view lineEnd,
                   bool createBackup, FileError* error = nullptr);

// The whole of a small file: opened as ReadTextFile opens a source (symbolic links followed,
// never waiting on a pipe or device, only a regular file read), at most maxSize bytes. False
// with the reason in error when given (ENOENT for a file that is not there, EFBIG when larger).
bool ReadFileBytes(const std::string& path, std::string& bytes, size_t maxSize,
                   FileError* error = nullptr);

// Replaces path with bytes in one step, as WriteTextFile replaces a source (links followed to
// a regular file, which is replaced; anything else is refused), without a backup.
bool WriteFileBytes(const std::string& path, std::string_view bytes, FileError* error = nullptr);
