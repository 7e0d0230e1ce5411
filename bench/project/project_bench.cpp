// Opening a project whose main file includes the standard library: the project file read,
// the "!%" header read, every Include resolved and read, the library identified. Baseline:
// a plain read of the same files in the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "build_analysis.h"
#include "project_file.h"

namespace {

const std::string REALWORLD = TORVANE_REALWORLD;
const std::string LIBRARY = "/usr/share/inform6/library";

// A project beside the game, in a folder of its own.
struct ProjectFixture {
  ProjectFixture() {
    char name[] = "/tmp/torvane-bench-project-XXXXXX";
    folder = ::mkdtemp(name);
    path = folder + "/balances.i6proj";
    std::ofstream(path) << "[Project]\nMain=" << REALWORLD << "/balances.inf\nTarget=z5\nLibrary=" << LIBRARY << "\n";
  }
  ~ProjectFixture() { std::filesystem::remove_all(folder); }
  std::string folder, path;
};

BuildAnalysis OpenProject(const std::string& path) {
  ProjectFile project;
  SourceMessage error;
  if (!ReadProjectFile(path, project, error)) std::abort();
  return AnalyseBuild({project.mainFile, ProjectCommandLine(project, {}), 641, {}, project.libraryPath, {}});
}

void BM_OpenStandardLibraryProject(benchmark::State& state) {
  const ProjectFixture fixture;
  if (OpenProject(fixture.path).library.kind != LibraryKind::Standard) std::abort();
  for (auto _ : state) benchmark::DoNotOptimize(OpenProject(fixture.path));
}
BENCHMARK(BM_OpenStandardLibraryProject)->Unit(benchmark::kMillisecond);

// The baseline: every file the open reads, read whole and nothing else.
void BM_ReadTheSameFiles(benchmark::State& state) {
  const ProjectFixture fixture;
  std::vector<std::string> files{fixture.path, REALWORLD + "/balances.inf"};
  for (const IncludeFound& include : OpenProject(fixture.path).includes)
    if (!include.path.empty()) files.push_back(include.path);
  for (auto _ : state) {
    size_t bytes = 0;
    for (const std::string& file : files) {
      std::ifstream in(file, std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      bytes += text.str().size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_ReadTheSameFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
