#include "compile_command.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "build_plan.h"
#include "output_sink.h"
#include "compiler_probe.h"
#include "profile_store.h"
#include "redirector.h"
#include "settings_keys.h"

void StripExtension(QString& path) {
  // The extension belongs to the file name: stopping at the last "/" keeps a dotted directory
  // from being taken for one, and a name without a "." keeps its whole path.
  const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
  for (qsizetype i = path.size() - 1; i > nameStart; --i) {
    if (path.at(i) == QLatin1Char('.')) {
      path.truncate(i);
      return;
    }
  }
}

namespace {

struct StandardSwitch {
  uint32_t bit;
  const char* name; // as written after "-"
};
constexpr StandardSwitch STANDARD_SWITCHES[] = {
    {OPTION_DEBUG, "D"},         {OPTION_MODULES, "U"},       {OPTION_STATISTICS, "s"},
    {OPTION_DOUBLE_SPACES, "d2"}, {OPTION_LIST_OBJECTS, "j"},
};

// A "$" memory setting or a "+" path setting: not a switch, and every Inform takes it.
bool IsSetting(QStringView entry) {
  return entry.contains(QLatin1Char('$')) || entry.startsWith(QLatin1Char('+'));
}

bool Accepted(const CompilerFacts* facts, QStringView entry) {
  return !facts || IsSetting(entry) || facts->AcceptsSwitch(entry);
}

// The additional switches without those facts deny; the text after the last "|" is kept.
QString KnownUserSwitches(const QString& userDefOptions, const CompilerFacts* facts) {
  if (!facts) return userDefOptions;
  QString kept;
  qsizetype start = 0;
  for (qsizetype end; (end = userDefOptions.indexOf(QLatin1Char('|'), start)) >= 0; start = end + 1) {
    const QStringView entry = QStringView(userDefOptions).mid(start, end - start);
    if (Accepted(facts, entry)) kept += entry.toString() + QLatin1Char('|');
  }
  return kept + userDefOptions.mid(start);
}

} // namespace

QString ComposeSwitches(uint32_t standardOptions, const QString& userDefOptions, uint32_t z5,
                        const CompilerFacts* facts) {
  QString switches = QStringLiteral(" ");
  for (const StandardSwitch& option : STANDARD_SWITCHES) {
    const QString name = QLatin1String(option.name);
    if ((standardOptions & option.bit) && Accepted(facts, name))
      switches += QLatin1Char('-') + name + QLatin1Char(' ');
  }
  switches += QLatin1Char('-');
  for (const QChar c : KnownUserSwitches(userDefOptions, facts)) {
    if (c == QLatin1Char('|')) {
      switches += QLatin1String(" -");
    } else if (c == QLatin1Char('$')) {
      // A "$" setting takes no "-": drop the one placed before the entry.
      switches.chop(1);
      switches += c;
    } else {
      switches += c;
    }
  }
  switches += (z5 == 1) ? QLatin1String("v5 ") : QLatin1String("v8 ");
  return switches;
}

QStringList UnknownSwitches(uint32_t standardOptions, const QString& userDefOptions,
                            const CompilerFacts& facts) {
  QStringList unknown;
  for (const StandardSwitch& option : STANDARD_SWITCHES) {
    const QString name = QLatin1String(option.name);
    if ((standardOptions & option.bit) && !Accepted(&facts, name))
      unknown.append(QLatin1Char('-') + name);
  }
  QStringList entries = userDefOptions.split(QLatin1Char('|'));
  entries.removeLast(); // the text after the last "|" is no entry
  for (const QString& entry : std::as_const(entries))
    if (!Accepted(&facts, entry)) unknown.append(QLatin1Char('-') + entry);
  return unknown;
}

QString QuoteCommandArgument(const QString& argument) {
  bool hasSpace = false;
  bool hasQuote = false;
  for (const QChar c : argument) {
    if (c.isSpace()) hasSpace = true;
    if (c == QLatin1Char('"')) hasQuote = true;
  }
  if (!hasSpace && !hasQuote) return argument;
  QString quoted = argument;
  quoted.replace(QLatin1String("\""), QLatin1String("\"\"\""));
  return hasSpace ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

CompileCommand ComposeCompileCommand(const QString& sourcePath, const CompileSettings& settings,
                                     const CompilerFacts* facts) {
  QString outputBase = sourcePath;
  StripExtension(outputBase);

  QString commandLine = QuoteCommandArgument(settings.compiler);
  if (!settings.library.isEmpty())
    commandLine += QLatin1Char(' ') +
                   QuoteCommandArgument(QLatin1String("+include_path=") + settings.library);

  const QString switches =
      ComposeSwitches(settings.standardOptions, settings.userDefOptions, settings.z5, facts);
  CompileCommand command;
  command.outputPath = outputBase + ((settings.z5 == 1) ? QLatin1String(".z5")
                                                         : QLatin1String(".z8"));
  // The switch string ends in a blank, so the source follows directly.
  commandLine += switches + QuoteCommandArgument(sourcePath);
  commandLine += QLatin1Char(' ') + QuoteCommandArgument(command.outputPath);
  command.commandLine = commandLine;
  return command;
}

CompileSettings ReadCompileSettings(const CProfileStore& store) {
  CompileSettings settings;
  settings.compiler = ReadToolPath(store, SETTING_COMPILER_PATH);
  settings.library = ReadToolPath(store, SETTING_LIBRARY_PATH);
  settings.standardOptions = ReadSetting(store, SETTING_STANDARD_OPTIONS);
  settings.userDefOptions = ReadSetting(store, SETTING_USER_DEF_OPTIONS);
  settings.z5 = ReadSetting(store, SETTING_Z5);
  return settings;
}

bool OutputWouldOverwriteSource(const QString& sourcePath, const QString& outputPath) {
  if (sourcePath == outputPath) return true;
  // Names cannot tell a hard link ("ln adv.inf adv.z5"); the file's identity can, and it
  // also sees through symbolic links.
  struct stat source {}, output {};
  return ::stat(QFile::encodeName(sourcePath).constData(), &source) == 0 &&
         ::stat(QFile::encodeName(outputPath).constData(), &output) == 0 &&
         source.st_dev == output.st_dev && source.st_ino == output.st_ino;
}

CompileRun RunCompile(const QString& sourcePath, const CProfileStore& store, COutputSink* output,
                      const std::function<void()>& prepareOutput,
                      const std::function<void()>& pump, const CompileRequest& request) {
  CompileRun result;
  const CompileSettings settings = ReadCompileSettings(store);
  if (settings.compiler.isEmpty()) return result;
  result.compilerSet = true;
  // The answer is cached in the file of the store we were given.
  CProfileStore cache(store.FileName());
  const CompilerFacts facts = CompilerFactsFor(settings.compiler, &cache);
  const BuildPlan plan = PlanBuild(sourcePath, settings, &facts, request.project, request.sourceEncoding);
  result.mainFile = plan.mainFile;
  result.storyPath = plan.storyPath;
  if (plan.analysis.library.kind != LibraryKind::None)
    result.library = QString::fromStdString(plan.analysis.library.Describe());
  // A source named like its story ("adv.z5") would be replaced by the compiler's output.
  if (OutputWouldOverwriteSource(plan.mainFile, plan.storyPath)) {
    result.refusal = QLatin1String(TEXT_OUTPUT_IS_SOURCE) + plan.mainFile;
    return result;
  }
  if (!plan.warning.isEmpty() && request.confirm && !request.confirm(plan.warning)) {
    result.declined = true;
    return result;
  }
  if (prepareOutput) prepareOutput();
  QString head = plan.Summary() + QLatin1Char('\n');
  for (const QString& problem : plan.Problems()) head += problem + QLatin1Char('\n');
  if (output) output->AppendText(head.toUtf8());
  // Each compile has its own redirector, so one started from inside another's pump nests.
  CRedirector redirector(plan.commandLine, output, plan.workingDirectory);
  if (pump) redirector.SetPumpMessages(pump);
  redirector.Run();
  result.childFinished = redirector.ChildFinished();
  result.exitCode = redirector.ChildExitCode();
  return result;
}
