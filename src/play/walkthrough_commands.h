#pragma once
#include <string>
#include <string_view>
#include <vector>

// A walkthrough's command file (NAME.cmd): one command a line; a line whose first non-blank
// character is '#' is a comment; blank lines are skipped. Two comments are read as settings,
// so that a replay uses what the recording used: "# seed: N" and "# width: N".
struct WalkthroughCommands {
  std::vector<std::string> commands;
  int seed = 0;  // 0: none written
  int width = 0; // 0: none written
};

// Parses the bytes of a command file. A command file is text: a control byte other than tab
// or a line end (a NUL, an escape) means the file is not one, and error tells the line and
// the byte ("line 3 holds the byte 0x00 ..."); commands then stays empty.
bool ParseWalkthroughCommands(std::string_view bytes, WalkthroughCommands& out, std::string& error);

// The text of a command file for commands, with the two setting comments first. A command
// that would read back differently (a leading '#', a line break, blank only) is refused:
// error names it and the result is empty.
std::string FormatWalkthroughCommands(const WalkthroughCommands& walkthrough, std::string& error);
