// The language index of balances.inf with the standard library (about 14,000 lines): a cold
// index from the files, universal-ctags over the same files in the same run (it has no Inform
// parser: it reads them as C, one pass of a tagger over the same bytes), go to definition,
// one keystroke re-indexed, references of a common name, and the index's memory against
// the text it holds.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "hover_info.h"
#include "language_index.h"
#include "object_scanner.h"
#include "text_file_io.h"

extern char** environ;

namespace {

const std::string GAME = std::filesystem::path(TORVANE_REALWORLD "/balances.inf").lexically_normal().string();

bool ReadFile(const std::string& path, std::string& text) {
  return ReadFileBytes(path, text, size_t{256} << 20);
}

std::optional<std::string> Resolve(std::string_view name, const std::string&) {
  std::string lower(name == "language__" ? "english" : name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string path = "/usr/share/inform6/library/" + lower + ".h";
  if (std::filesystem::is_regular_file(path)) return path;
  return std::nullopt;
}

int IndexGame(CLanguageIndex& index) { return index.IndexProject(GAME, Resolve, ReadFile); }

std::size_t TextBytes(const CLanguageIndex& index) {
  std::size_t bytes = 0;
  for (int f = 0; f < index.FileCount(); ++f) bytes += std::filesystem::file_size(index.FilePath(f));
  return bytes;
}

void BM_IndexColdBalancesAndLibrary(benchmark::State& state) {
  for (auto _ : state) {
    CLanguageIndex index;
    benchmark::DoNotOptimize(IndexGame(index));
    benchmark::DoNotOptimize(index.AllDefinitions().size());
  }
  CLanguageIndex index;
  IndexGame(index);
  index.AllDefinitions();
  state.counters["files"] = index.FileCount();
  state.counters["memory_ratio"] = static_cast<double>(index.MemoryBytes()) / static_cast<double>(TextBytes(index));
}

void BM_CtagsSameFiles(benchmark::State& state) {
  CLanguageIndex index;
  IndexGame(index);
  std::vector<std::string> args{"ctags-universal", "-f", "/dev/null", "--languages=C", "--langmap=C:.inf.h"};
  for (int f = 0; f < index.FileCount(); ++f) args.push_back(index.FilePath(f));
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("ctags-universal cannot be started");
      return;
    }
    int status = 0;
    waitpid(child, &status, 0);
  }
}

// The word "description" in "noun.description();" (line 492): a property with a declaration
// and values in classes.
void BM_GoToDefinition(benchmark::State& state) {
  CLanguageIndex index;
  const int game = IndexGame(index);
  for (auto _ : state) benchmark::DoNotOptimize(index.GoTo(game, 491, 8).size());
}

// One character typed and taken back inside a routine, re-indexed each time; with the first
// go to definition after it, which rebuilds the lookup.
void BM_ReindexKeystroke(benchmark::State& state) {
  CLanguageIndex index;
  const int game = IndexGame(index);
  std::string text;
  ReadFile(GAME, text);
  CStringLineSource source = CStringLineSource::FromText(text);
  const std::string original = source.Lines()[491];
  bool typed = false;
  for (auto _ : state) {
    source.Lines()[491] = typed ? original : original + "x";
    typed = !typed;
    benchmark::DoNotOptimize(index.ReplaceLines(game, source, 491, 1, 1));
    if (state.range(0) != 0) benchmark::DoNotOptimize(index.GoTo(game, 491, 8).size());
  }
}

// The hover of the same word (0), and of "ThatOrThose" in the library's parser.h, whose
// definition in english.h has a comment line above it (1): the definition, the parent, the
// comment lines (read from the texts held in memory, as the IDE holds its open documents).
void BM_Hover(benchmark::State& state) {
  CLanguageIndex index;
  const int game = IndexGame(index);
  std::vector<std::vector<std::string>> lines(static_cast<std::size_t>(index.FileCount()));
  for (int f = 0; f < index.FileCount(); ++f) {
    std::string text;
    ReadFile(index.FilePath(f), text);
    lines[static_cast<std::size_t>(f)] = CStringLineSource::FromText(text).Lines();
  }
  const IndexLineReader reader = [&](int file, int line, std::string& text) {
    const std::vector<std::string>& of = lines[static_cast<std::size_t>(file)];
    if (line < 0 || line >= static_cast<int>(of.size())) return false;
    text = of[static_cast<std::size_t>(line)];
    return true;
  };
  const int file = state.range(0) == 0 ? game : index.FindFile("/usr/share/inform6/library/parser.h").value_or(-1);
  const int line = state.range(0) == 0 ? 491 : 7148;
  const int col = state.range(0) == 0 ? 8 : 17;
  std::size_t comments = 0;
  for (auto _ : state) {
    const std::optional<CHoverInfo> info = HoverAt(index, file, line, col, reader);
    comments = info ? info->comments.size() : 0;
    benchmark::DoNotOptimize(comments);
  }
  state.counters["comment_lines"] = static_cast<double>(comments);
}

void BM_ReferencesOfACommonName(benchmark::State& state) {
  CLanguageIndex index;
  IndexGame(index);
  const uint32_t noun = *index.Names().Find("noun");
  for (auto _ : state) benchmark::DoNotOptimize(index.References(noun).size());
  state.counters["uses"] = static_cast<double>(index.References(noun).size());
}

BENCHMARK(BM_IndexColdBalancesAndLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtagsSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GoToDefinition)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReindexKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hover)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferencesOfACommonName)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
