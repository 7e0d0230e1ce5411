#include <algorithm>
#include <cerrno>
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
  if (argc < 2) {
    PrintHelp(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(stdout);
    // Asked for, the list must have arrived (a full disk, a closed pipe).
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "torvane-cli: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  for (const CliCommand& c : Commands()) {
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "torvane-cli: unknown command '%s'\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
