#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli_command.h"

namespace {

std::vector<CliCommand>& Commands() {
  static std::vector<CliCommand> commands;
  return commands;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: torvane-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
  auto sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const CliCommand& c : sorted) std::fprintf(out, "  %s\n", c.usage);
  std::fprintf(out, "  --help                       this list\n");
}

} // namespace

CCliCommandRegistrar::CCliCommandRegistrar(const char* name, const char* usage,
                                           CliCommandFunction run) {
  Commands().push_back({name, usage, run});
}

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const CliCommand& c : Commands()) {
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "torvane-cli: unknown command '%s'\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
