// Colouring throughput over a generated 50 MB Inform source held in memory as lines, with
// cookies only (what the view computes for lines above the painted ones) and with runs
// (what it computes for painted lines). A plain copy of the same lines is the baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "colouring.h"

namespace {

struct CSource {
  std::string bytes;          // all lines back to back, no line ends
  std::vector<int> starts;    // start of each line in bytes
  std::vector<int> lengths;   // length of each line
  int longest = 0;
};

class CSourceWriter {
public:
  explicit CSourceWriter(CSource& source) : m_source(source) {}
  void Line(const std::string& text) {
    m_source.starts.push_back(static_cast<int>(m_source.bytes.size()));
    m_source.lengths.push_back(static_cast<int>(text.size()));
    if (static_cast<int>(text.size()) > m_source.longest) m_source.longest = static_cast<int>(text.size());
    m_source.bytes += text;
  }

private:
  CSource& m_source;
};

// A plausible game: commented headers, objects with properties, strings over several lines,
// embedded routines, standalone routines with statements and assembly, arrays and grammar.
const CSource& GeneratedSource() {
  static const CSource source = [] {
    CSource s;
    constexpr size_t TARGET = 50u * 1024 * 1024;
    s.bytes.reserve(TARGET + 4096);
    CSourceWriter w(s);
    std::mt19937 random(1234);
    const char* nouns[] = {"lamp", "door", "key", "chest", "rope", "cloak", "hook", "mirror", "bench",
                           "lantern", "window", "stair", "coin", "scroll", "bottle"};
    const char* adjectives[] = {"brass", "oak", "rusty", "velvet", "narrow", "heavy", "small", "old"};
    const char* attrs[] = {"light", "container", "openable", "scenery", "static", "supporter", "open"};
    auto pick = [&](const auto& list) {
      return std::string(list[random() % (sizeof(list) / sizeof(list[0]))]);
    };
    w.Line("! ==============================================================================");
    w.Line("! Generated game source for the colouring benchmark.");
    w.Line("Constant Story \"BENCHMARK\";");
    w.Line("Include \"Parser\";");
    int n = 0;
    while (s.bytes.size() < TARGET) {
      ++n;
      const std::string noun = pick(nouns), adj = pick(adjectives);
      const std::string id = noun + std::to_string(n);
      w.Line("");
      w.Line("! ------------------------------------------------------------------------------");
      w.Line("! The " + adj + " " + noun + " (number " + std::to_string(n) + ")");
      w.Line("Object  " + id + " \"" + adj + " " + noun + "\" Room" + std::to_string(n % 40));
      w.Line("  with  name '" + adj + "' '" + noun + "' 'thing',");
      w.Line("        description");
      w.Line("            \"The " + adj + " " + noun + " looks as if nobody has touched it in years;");
      w.Line("             dust lies thick on it.^^It is ~quite~ unremarkable, @@92 apart.\",");
      w.Line("\t\tbefore [;");
      w.Line("\t\t  Take: if (self has " + pick(attrs) + ") \"You can't; it won't budge.\";");
      w.Line("\t\t\t\tmove self to player; rtrue;");
      w.Line("\t\t  Examine: print \"It is \", (the) self, \".^\"; rtrue;");
      w.Line("\t\t],");
      w.Line("        weight " + std::to_string(random() % 100) + ",");
      w.Line("  has   " + pick(attrs) + " " + pick(attrs) + ";");
      w.Line("");
      w.Line("[ " + noun + "Routine" + std::to_string(n) + " obj i count;");
      w.Line("  count = 0;   ! how many are in scope");
      w.Line("  objectloop (obj in location) {");
      w.Line("      if (obj ofclass Room && obj hasnt scenery) count++;");
      w.Line("      for (i = 0 : i < " + std::to_string(random() % 20) + " : i++) print (name) obj, \" \";");
      w.Line("  }");
      w.Line("  @push count; @pull i;");
      w.Line("  switch (count) { 0: \"None.\"; 1: \"One.\"; default: print_ret count, \" of them.\"; }");
      w.Line("];");
      if (n % 8 == 0) {
        w.Line("Array " + id + "Table table 10 20 30 40 50;");
        w.Line("Verb meta '" + noun + "' * noun -> Take * 'at' noun -> Examine;");
        w.Line("Extend 'push' first * noun 'with' held -> Push;");
      }
    }
    return s;
  }();
  return source;
}

void BM_CopyLines(benchmark::State& state) {
  const CSource& s = GeneratedSource();
  std::vector<char> scratch(static_cast<size_t>(s.longest) * 8 + 8);
  for (auto _ : state) {
    for (size_t i = 0; i < s.lengths.size(); ++i) {
      std::memcpy(scratch.data(), s.bytes.data() + s.starts[i], static_cast<size_t>(s.lengths[i]));
      benchmark::DoNotOptimize(scratch.data());
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.bytes.size()));
}

void BM_ColourCookieOnly(benchmark::State& state) {
  const CSource& s = GeneratedSource();
  uint32_t last = 0;
  for (auto _ : state) {
    uint32_t cookie = 0;
    for (size_t i = 0; i < s.lengths.size(); ++i) {
      int runCount;
      cookie = ColourLine(cookie, static_cast<int>(i), s.bytes.data() + s.starts[i], s.lengths[i],
                          nullptr, runCount);
    }
    last = cookie;
    benchmark::DoNotOptimize(last);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.bytes.size()));
  state.counters["lines"] = static_cast<double>(s.lengths.size());
}

void BM_ColourWithRuns(benchmark::State& state) {
  const CSource& s = GeneratedSource();
  // The view gives room for three runs per character.
  std::vector<StyleRun> runs(static_cast<size_t>(s.longest) * 3 + 1);
  for (auto _ : state) {
    uint32_t cookie = 0;
    for (size_t i = 0; i < s.lengths.size(); ++i) {
      int runCount;
      cookie = ColourLine(cookie, static_cast<int>(i), s.bytes.data() + s.starts[i], s.lengths[i],
                          runs.data(), runCount);
      benchmark::DoNotOptimize(runs.data());
    }
    benchmark::DoNotOptimize(cookie);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.bytes.size()));
}

BENCHMARK(BM_CopyLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourCookieOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourWithRuns)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
