// Text buffer benchmarks: Load of a generated 50 MB Inform source against a plain read of
// the same file, resident memory after that load, one-character edits in a 1,000,000-line
// buffer with one attached view, a line break and its join there, and Undo/Redo of
// 1000-record groups. Figures and their reading are in FIGURES.md.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "text_buffer.h"

namespace {

// ---------------------------------------------------------------------------------------
// A realistic Inform 6 source: objects with properties and strings, routines with
// statements and comments, tab indentation, blank lines.

class InformGenerator {
public:
  explicit InformGenerator(unsigned seed) : m_rng(seed) {}

  std::string Generate(size_t bytes, const char* eol, size_t maxLines = SIZE_MAX) {
    std::string out;
    out.reserve(bytes + 4096);
    size_t lines = 0;
    auto line = [&](const std::string& text) {
      out += text;
      out += eol;
      ++lines;
    };
    line("! Generated Inform source for the buffer benchmarks");
    line("Constant Story \"BENCHMARK\";");
    line("Include \"Parser\";");
    line("Include \"VerbLib\";");
    while (out.size() < bytes && lines < maxLines) {
      switch (Pick(4)) {
      case 0: Object(line); break;
      case 1: Routine(line); break;
      case 2: Comment(line); break;
      default: Class(line); break;
      }
      line("");
    }
    return out;
  }

private:
  template <class Line> void Object(Line& line) {
    std::string name = Name();
    line("Object " + name + " \"" + Words(2) + "\" " + Name());
    line("\twith\tname '" + Word() + "' '" + Word() + "' '" + Word() + "',");
    line("\t\tdescription");
    line("\t\t\t\"" + Words(8 + Pick(12)) + "\",");
    line("\t\tbefore [;");
    line("\t\t\tTake: \"" + Words(5 + Pick(6)) + "\";");
    line("\t\t\tExamine: if (self has open) \"" + Words(4) + "\";");
    line("\t\t],");
    line("\t\tnumber " + std::to_string(Pick(1000)) + ",");
    line("\thas\tcontainer openable ~open;");
  }
  template <class Line> void Routine(Line& line) {
    line("[ " + Name() + " obj i j;");
    for (int i = 0, n = 3 + Pick(8); i < n; ++i) {
      switch (Pick(5)) {
      case 0: line("\tobjectloop (obj in " + Name() + ") {"); line("\t\tif (obj has light) j++;"); line("\t}"); break;
      case 1: line("\tprint \"" + Words(6 + Pick(8)) + "^\";"); break;
      case 2: line("\ti = " + Name() + "(obj, " + std::to_string(Pick(100)) + "); ! " + Words(4)); break;
      case 3: line("\tif (i > j && obj ofclass " + Name() + ") return " + Name() + ";"); break;
      default: line("\tmove obj to " + Name() + ";"); break;
      }
    }
    line("\treturn i;");
    line("];");
  }
  template <class Line> void Comment(Line& line) {
    for (int i = 0, n = 1 + Pick(4); i < n; ++i) line("! " + Words(6 + Pick(10)));
  }
  template <class Line> void Class(Line& line) {
    line("Class " + Name());
    line("\twith\tshort_name \"" + Words(2) + "\",");
    line("\t\tafter [; Go: \"" + Words(6) + "\"; ],");
    line("\thas\tscenery;");
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
  std::string Word() {
    static const char* words[] = {"lamp",  "brass", "door",   "north",  "cave",   "dark",
                                  "small", "key",   "troll",  "bridge", "river",  "the",
                                  "a",     "is",    "glowing", "faint", "passage", "rusty"};
    return words[Pick(static_cast<int>(std::size(words)))];
  }
  std::string Words(int n) {
    std::string s = Word();
    for (int i = 1; i < n; ++i) {
      s += ' ';
      s += Word();
    }
    return s;
  }
  std::string Name() { return Word() + "_" + Word() + std::to_string(Pick(100)); }

  std::mt19937 m_rng;
};

std::string TempPath(const char* name) {
  const char* base = std::getenv("TMPDIR");
  return std::string(base && *base ? base : "/tmp") + "/torvane-bench-" +
         std::to_string(getpid()) + "-" + name;
}

// Files made once per run and removed at exit.
struct BenchFiles {
  std::string source50;     // 50 MB, LF line ends
  std::string source50Dos;  // 50 MB, CR LF line ends
  std::string million;      // 1,000,000 lines
  size_t source50Size = 0;

  BenchFiles() {
    source50 = TempPath("50mb.inf");
    source50Dos = TempPath("50mb-dos.inf");
    million = TempPath("million.inf");
    Write(source50, InformGenerator(1).Generate(50u * 1000 * 1000, "\n"));
    Write(source50Dos, InformGenerator(1).Generate(50u * 1000 * 1000, "\r\n"));
    Write(million, InformGenerator(2).Generate(SIZE_MAX, "\n", 1000000 - 1));
    struct stat st;
    stat(source50.c_str(), &st);
    source50Size = static_cast<size_t>(st.st_size);
  }
  ~BenchFiles() {
    if (std::getenv("TORVANE_BENCH_KEEP_FILES")) return; // for looking at them afterwards
    unlink(source50.c_str());
    unlink(source50Dos.c_str());
    unlink(million.c_str());
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  }
};

BenchFiles& Files() {
  static BenchFiles files;
  return files;
}

// The baseline: read() of the whole file into memory.
size_t PlainRead(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  fstat(fd, &st);
  size_t size = static_cast<size_t>(st.st_size);
  char* data = static_cast<char*>(std::malloc(size + 1));
  size_t done = 0;
  while (done < size) {
    ssize_t n = read(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  benchmark::DoNotOptimize(data[done / 2]);
  std::free(data);
  return done;
}

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Load timed against a plain read of the same file, alternating, in the same run. The
// reported time is the load's; the counters give the read and the ratio.
void LoadAgainstRead(benchmark::State& state, const std::string& path) {
  double loadTotal = 0, readTotal = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    PlainRead(path);
    auto t1 = Clock::now();
    auto buffer = std::make_unique<CTextBuffer>();
    auto t2 = Clock::now();
    if (!buffer->Load(path)) state.SkipWithError("load failed");
    auto t3 = Clock::now();
    benchmark::DoNotOptimize(buffer->LineCount());
    buffer.reset();
    readTotal += Seconds(t1 - t0);
    loadTotal += Seconds(t3 - t2);
    state.SetIterationTime(Seconds(t3 - t2));
  }
  state.counters["read_ms"] = 1000 * readTotal / static_cast<double>(state.iterations());
  state.counters["load_ms"] = 1000 * loadTotal / static_cast<double>(state.iterations());
  state.counters["load/read"] = loadTotal / readTotal;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Files().source50Size));
}

void BM_Load50MB(benchmark::State& state) { LoadAgainstRead(state, Files().source50); }
void BM_Load50MBDos(benchmark::State& state) { LoadAgainstRead(state, Files().source50Dos); }

void BM_PlainRead50MB(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(Files().source50));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Files().source50Size));
}

// Resident size after loading the 50 MB file, measured in a fresh child process so that
// nothing else of this run is counted.
size_t ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void BM_ResidentAfterLoad50MB(benchmark::State& state) {
  const std::string path = Files().source50;
  double before = 0, after = 0, lines = 0;
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) state.SkipWithError("pipe");
    pid_t child = fork();
    if (child == 0) {
      close(fds[0]);
      double figures[3] = {static_cast<double>(ResidentBytes()), 0, 0};
      CTextBuffer buffer;
      buffer.Load(path);
      figures[1] = static_cast<double>(ResidentBytes());
      figures[2] = buffer.LineCount();
      ssize_t ignored = write(fds[1], figures, sizeof figures);
      (void)ignored;
      _exit(0);
    }
    close(fds[1]);
    double figures[3] = {};
    if (read(fds[0], figures, sizeof figures) != sizeof figures) state.SkipWithError("child");
    close(fds[0]);
    waitpid(child, nullptr, 0);
    before = figures[0];
    after = figures[1];
    lines = figures[2];
  }
  const double size = static_cast<double>(Files().source50Size);
  state.counters["file_MB"] = size / 1e6;
  state.counters["lines"] = lines;
  state.counters["rss_MB"] = after / 1e6;
  state.counters["rss_growth_MB"] = (after - before) / 1e6;
  state.counters["rss/file"] = after / size;
  state.counters["growth/file"] = (after - before) / size;
}

// ---------------------------------------------------------------------------------------
// Edits in a 1,000,000-line buffer with one attached view that does nothing.

class EmptyView : public CBufferView {
public:
  void OnBufferChanged(CBufferView*, const UpdateContext*, uint32_t, int) override {}
};

struct MillionLines {
  CTextBuffer buffer;
  EmptyView view;
  MillionLines() {
    buffer.Load(Files().million);
    buffer.AttachView(&view);
  }
  ~MillionLines() { buffer.DetachView(&view); }
  int Middle() const { return buffer.LineCount() / 2; }
};

constexpr int ROUND = 4096; // edits between untimed resets
constexpr int SPREAD = 256; // lines the edits rotate over

void BM_InsertChar1MLines(benchmark::State& state) {
  MillionLines m;
  const int mid = m.Middle();
  int done = 0, el, ec;
  for (auto _ : state) {
    const int line = mid + done % SPREAD;
    m.buffer.InsertText(&m.view, line, 0, "x", el, ec, UndoAction::Typing);
    if (++done == ROUND) {
      state.PauseTiming();
      for (int i = 0; i < SPREAD; ++i)
        m.buffer.DeleteText(&m.view, mid + i, 0, mid + i, ROUND / SPREAD);
      done = 0;
      state.ResumeTiming();
    }
  }
  state.counters["lines"] = m.buffer.LineCount();
}

void BM_DeleteChar1MLines(benchmark::State& state) {
  MillionLines m;
  const int mid = m.Middle();
  const std::string refill(ROUND / SPREAD, 'y');
  int done = 0, el, ec;
  for (int i = 0; i < SPREAD; ++i) m.buffer.InsertText(&m.view, mid + i, 0, refill, el, ec);
  for (auto _ : state) {
    const int line = mid + done % SPREAD;
    m.buffer.DeleteText(&m.view, line, 0, line, 1, UndoAction::Backspace);
    if (++done == ROUND) {
      state.PauseTiming();
      for (int i = 0; i < SPREAD; ++i) m.buffer.InsertText(&m.view, mid + i, 0, refill, el, ec);
      done = 0;
      state.ResumeTiming();
    }
  }
  state.counters["lines"] = m.buffer.LineCount();
}

// Enter in the middle of the text, then the join of the two lines (Delete at line end):
// each adds or removes one line record among a million.
void BM_EnterAndJoin1MLines(benchmark::State& state) {
  MillionLines m;
  const int mid = m.Middle();
  int el, ec;
  for (auto _ : state) {
    m.buffer.InsertText(&m.view, mid, 3, "\r\n", el, ec, UndoAction::Typing);
    m.buffer.DeleteText(&m.view, mid, 3, mid + 1, 0, UndoAction::Delete);
  }
  state.counters["lines"] = m.buffer.LineCount();
}

// The same far apart: each edit moves the gap of the line array by 100,000 records.
void BM_EnterAndJoinFarApart1MLines(benchmark::State& state) {
  MillionLines m;
  int el, ec, k = 0;
  for (auto _ : state) {
    const int line = 100000 + (k++ % 8) * 100000;
    m.buffer.InsertText(&m.view, line, 3, "\r\n", el, ec, UndoAction::Typing);
    m.buffer.DeleteText(&m.view, line, 3, line + 1, 0, UndoAction::Delete);
  }
}

// Undo and Redo of one group of 1000 records. Arg 0: typing 1000 characters into one line.
// Arg 1: a replace-all of 500 words on lines 2000 apart (a deletion and an insertion each).
void MakeGroup(MillionLines& m, int kind) {
  const int mid = m.Middle();
  int el, ec;
  m.buffer.OpenUndoGroup(false);
  if (kind == 0) {
    for (int i = 0; i < 1000; ++i)
      m.buffer.InsertText(&m.view, mid, i, "t", el, ec, UndoAction::Typing);
  } else {
    for (int i = 0; i < 500; ++i) {
      int line = 1000 + i * 1996;
      int len = std::min(3, m.buffer.LineLength(line));
      m.buffer.DeleteText(&m.view, line, 0, line, len, UndoAction::Replace);
      m.buffer.InsertText(&m.view, line, 0, "hello", el, ec, UndoAction::Replace);
    }
  }
  m.buffer.CloseUndoGroup(&m.view);
}

void BM_UndoGroup1000(benchmark::State& state) {
  MillionLines m;
  MakeGroup(m, static_cast<int>(state.range(0)));
  TextPosition caret;
  for (auto _ : state) {
    m.buffer.Undo(caret);
    state.PauseTiming();
    m.buffer.Redo(caret);
    state.ResumeTiming();
  }
  state.counters["records"] = m.buffer.UndoRecordCount();
}

void BM_RedoGroup1000(benchmark::State& state) {
  MillionLines m;
  MakeGroup(m, static_cast<int>(state.range(0)));
  TextPosition caret;
  for (auto _ : state) {
    state.PauseTiming();
    m.buffer.Undo(caret);
    state.ResumeTiming();
    m.buffer.Redo(caret);
  }
}

// Saving the 50 MB file (write, fsync, rename).
void BM_Save50MB(benchmark::State& state) {
  CTextBuffer buffer;
  buffer.Load(Files().source50);
  const std::string out = TempPath("saved.inf");
  for (auto _ : state)
    if (!buffer.Save(out)) state.SkipWithError("save failed");
  unlink(out.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Files().source50Size));
}

} // namespace

BENCHMARK(BM_ResidentAfterLoad50MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead50MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load50MB)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load50MBDos)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertChar1MLines)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DeleteChar1MLines)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_EnterAndJoin1MLines)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_EnterAndJoinFarApart1MLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoGroup1000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoGroup1000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save50MB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
