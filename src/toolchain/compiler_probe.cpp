#include "compiler_probe.h"

#include <map>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "child_process_tree.h"
#include "profile_store.h"

namespace {

// Where the last answer is kept between starts of the program.
const QString CACHE_SECTION = QStringLiteral("Editor\\CompilerProbe");

// Line 2 of this source holds an error, so the compiler names the line it counts there:
// 2 when CR LF is one line end, 3 when it is two.
constexpr char CRLF_PROBE_SOURCE[] = "!\r\nMessage error \"line probe\";\r\n";

// More than this from one question is not a help page or a message.
constexpr qsizetype PROBE_OUTPUT_LIMIT = 64 * 1024;

struct RunResult {
  bool started = false;
  bool timedOut = false;
  QString error;
  QString output;
};

// Runs program with arguments in dir, ending it and all it started after timeoutMs.
RunResult RunBriefly(const QString& program, const QStringList& arguments, const QString& dir,
                     int timeoutMs) {
  RunResult result;
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setWorkingDirectory(dir);
  CChildProcessTree tree;
  tree.Prepare(process);
  process.start(program, arguments, QIODevice::ReadOnly);
  if (!process.waitForStarted(timeoutMs)) {
    result.error = process.errorString();
    tree.EndAll();
    return result;
  }
  result.started = true;
  tree.Started(static_cast<pid_t>(process.processId()));
  // A help page is a few kilobytes; a program that prints on and on is not asked further,
  // so that it cannot hold the caller (the window) for long.
  QByteArray output;
  const QDeadlineTimer deadline(timeoutMs);
  while (process.state() != QProcess::NotRunning && output.size() < PROBE_OUTPUT_LIMIT &&
         !deadline.hasExpired()) {
    process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    output += process.read(PROBE_OUTPUT_LIMIT - output.size());
  }
  result.timedOut = process.state() != QProcess::NotRunning && output.size() < PROBE_OUTPUT_LIMIT;
  tree.EndAll();
  process.waitForFinished(timeoutMs); // ended or ending: collect it
  output += process.read(PROBE_OUTPUT_LIMIT - output.size());
  result.output = QString::fromLocal8Bit(output);
  return result;
}

// The names the help page lists, two blanks in: "  a   trace assembly-language".
QStringList ParseSwitches(const QString& help) {
  static const QRegularExpression row(QStringLiteral("^  ([A-Za-z][A-Za-z0-9]*)  "),
                                      QRegularExpression::MultilineOption);
  QStringList names;
  for (auto it = row.globalMatch(help); it.hasNext();) names.append(it.next().captured(1));
  return names;
}

// The line an error message names: "line 3:" (the default form) or "(3):" (-E1).
int NamedLine(const QString& output) {
  static const QRegularExpression line(QStringLiteral("(?:line |\\()(\\d+)\\)?:"));
  const QRegularExpressionMatch match = line.match(output);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

CrLfCount ProbeCrLf(const QString& program, const QTemporaryDir& dir, int timeoutMs) {
  QFile source(dir.filePath(QStringLiteral("probe.inf")));
  if (!source.open(QIODevice::WriteOnly) ||
      source.write(CRLF_PROBE_SOURCE, sizeof CRLF_PROBE_SOURCE - 1) != sizeof CRLF_PROBE_SOURCE - 1)
    return CrLfCount::Unknown;
  source.close();
  const RunResult run = RunBriefly(program, {QStringLiteral("probe.inf")}, dir.path(), timeoutMs);
  switch (NamedLine(run.output)) {
  case 2: return CrLfCount::One;
  case 3: return CrLfCount::Two;
  default: return CrLfCount::Unknown;
  }
}

QString ResolveProgram(const QString& program) {
  if (program.contains(QLatin1Char('/'))) return QFileInfo(program).absoluteFilePath();
  return QStandardPaths::findExecutable(program);
}

// What identifies one build of the program file: modification time and size.
QString Stamp(const QFileInfo& info) {
  return QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(':') +
         QString::number(info.size());
}

struct CacheEntry {
  QString stamp;
  CompilerFacts facts;
};

std::map<QString, CacheEntry>& MemoryCache() {
  static std::map<QString, CacheEntry> cache;
  return cache;
}

bool ReadStored(const CProfileStore& store, const QString& path, const QString& stamp,
                CompilerFacts& facts) {
  if (store.GetProfileString(CACHE_SECTION, QStringLiteral("Program"), {}) != path ||
      store.GetProfileString(CACHE_SECTION, QStringLiteral("Stamp"), {}) != stamp)
    return false;
  const uint32_t outcome = store.GetProfileInt(CACHE_SECTION, QStringLiteral("Outcome"), 99);
  if (outcome != static_cast<uint32_t>(CompilerFacts::Outcome::Answered) &&
      outcome != static_cast<uint32_t>(CompilerFacts::Outcome::NotInform))
    return false;
  facts.outcome = static_cast<CompilerFacts::Outcome>(outcome);
  facts.versionText = store.GetProfileString(CACHE_SECTION, QStringLiteral("Version"), {});
  facts.version = static_cast<int>(store.GetProfileInt(CACHE_SECTION, QStringLiteral("Number"), 0));
  facts.switches = store.GetProfileString(CACHE_SECTION, QStringLiteral("Switches"), {})
                       .split(QLatin1Char(' '), Qt::SkipEmptyParts);
  const uint32_t crlf = store.GetProfileInt(CACHE_SECTION, QStringLiteral("CrLf"), 0);
  facts.crlf = crlf <= 2 ? static_cast<CrLfCount>(crlf) : CrLfCount::Unknown;
  if (!facts.IsKnown()) facts.problem = path + QLatin1String(" does not say that it is Inform.");
  return true;
}

void Store(CProfileStore& store, const QString& path, const QString& stamp,
           const CompilerFacts& facts) {
  store.WriteProfileString(CACHE_SECTION, QStringLiteral("Program"), path);
  store.WriteProfileString(CACHE_SECTION, QStringLiteral("Stamp"), stamp);
  store.WriteProfileInt(CACHE_SECTION, QStringLiteral("Outcome"), static_cast<int>(facts.outcome));
  store.WriteProfileString(CACHE_SECTION, QStringLiteral("Version"), facts.versionText);
  store.WriteProfileInt(CACHE_SECTION, QStringLiteral("Number"), facts.version);
  store.WriteProfileString(CACHE_SECTION, QStringLiteral("Switches"),
                           facts.switches.join(QLatin1Char(' ')));
  store.WriteProfileInt(CACHE_SECTION, QStringLiteral("CrLf"), static_cast<int>(facts.crlf));
}

} // namespace

bool CompilerFacts::AcceptsSwitch(QStringView text) const {
  if (!IsKnown() || switches.isEmpty()) return true;
  // Inform reads a switch word letter by letter; a letter may take digits ("d2", "W6"), and
  // "C" also "u"; "~" turns the next letter off.
  qsizetype i = 0;
  while (i < text.size()) {
    const QChar letter = text[i++];
    if (letter == QLatin1Char('~')) continue;
    if (!letter.isLetter()) return false;
    const qsizetype argumentStart = i;
    if (letter == QLatin1Char('C') && i < text.size() && text[i] == QLatin1Char('u')) ++i;
    while (i < text.size() && text[i].isDigit()) ++i;
    const QStringView argument = text.mid(argumentStart, i - argumentStart);
    const QString name = QString(letter) + argument.toString();
    const bool numbered = !argument.isEmpty() && argument.front().isDigit();
    if (!switches.contains(name) &&
        !(numbered && switches.contains(QString(letter) + QLatin1Char('n'))))
      return false;
  }
  return true;
}

QString CompilerFacts::Describe() const {
  return IsKnown() ? QLatin1String("Inform ") + versionText : problem;
}

CompilerFacts ProbeCompiler(const QString& program, int timeoutMs) {
  CompilerFacts facts;
  const QString path = ResolveProgram(program);
  if (path.isEmpty()) {
    facts.problem = program + QLatin1String(" cannot be found.");
    return facts;
  }
  QTemporaryDir dir; // the compiler may write files where it runs
  if (!dir.isValid()) {
    facts.problem = QLatin1String("No temporary folder to ask ") + path + QLatin1String(" in.");
    return facts;
  }
  const RunResult help = RunBriefly(path, {QStringLiteral("-h2")}, dir.path(), timeoutMs);
  if (!help.started) {
    facts.problem = path + QLatin1String(" could not be started: ") + help.error;
    return facts;
  }
  if (help.timedOut) {
    facts.outcome = CompilerFacts::Outcome::TimedOut;
    facts.problem = path + QLatin1String(" did not answer within %1 seconds.").arg(QString::number(timeoutMs / 1000.0));
    return facts;
  }
  static const QRegularExpression version(QStringLiteral("^Inform (\\d+)\\.(\\d+)"),
                                          QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = version.match(help.output);
  if (!match.hasMatch()) {
    facts.outcome = CompilerFacts::Outcome::NotInform;
    facts.problem = path + QLatin1String(" does not say that it is Inform.");
    return facts;
  }
  facts.outcome = CompilerFacts::Outcome::Answered;
  facts.versionText = match.captured(1) + QLatin1Char('.') + match.captured(2);
  facts.version = match.captured(1).toInt() * 100 + match.captured(2).toInt();
  facts.switches = ParseSwitches(help.output);
  facts.crlf = ProbeCrLf(path, dir, timeoutMs);
  return facts;
}

CompilerFacts CompilerFactsFor(const QString& program, CProfileStore* store, int timeoutMs) {
  const QString path = ResolveProgram(program);
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return ProbeCompiler(program, timeoutMs);
  const QString stamp = Stamp(info);
  auto& cache = MemoryCache();
  if (const auto it = cache.find(path); it != cache.end() && it->second.stamp == stamp)
    return it->second.facts;
  CompilerFacts facts;
  if (!store || !ReadStored(*store, path, stamp, facts)) {
    facts = ProbeCompiler(path, timeoutMs);
    const bool conclusive = facts.outcome == CompilerFacts::Outcome::Answered ||
                            facts.outcome == CompilerFacts::Outcome::NotInform;
    if (store && conclusive) Store(*store, path, stamp, facts);
  }
  cache[path] = {stamp, facts};
  return facts;
}

void ForgetCompilerFacts() { MemoryCache().clear(); }
