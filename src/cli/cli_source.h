#pragma once
// Loading the source file a torvane-cli command works on.

class CTextBuffer;

// Loads path with detected line ends. On failure prints one line naming the file and the
// reason on standard error and returns false.
bool LoadCliSource(const char* path, CTextBuffer& buffer);
