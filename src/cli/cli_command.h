#pragma once
// torvane-cli commands register themselves here; main() dispatches on the first argument.

using CliCommandFunction = int (*)(int argc, char** argv); // argv[0] is the command's name

struct CliCommand {
  const char* name;
  const char* usage; // one line for --help, e.g. "colour FILE   print the colour of every character"
  CliCommandFunction run;
};

// A static object of this type in a command's source file adds the command.
class CCliCommandRegistrar {
public:
  CCliCommandRegistrar(const char* name, const char* usage, CliCommandFunction run);
};
