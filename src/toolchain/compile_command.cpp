#include "compile_command.h"

#include <QFileInfo>

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

QString ComposeSwitches(uint32_t standardOptions, const QString& userDefOptions, uint32_t z5) {
  static const struct {
    uint32_t bit;
    const char* piece;
  } kStandard[] = {
      {OPTION_DEBUG, "-D "},         {OPTION_MODULES, "-U "},       {OPTION_STATISTICS, "-s "},
      {OPTION_DOUBLE_SPACES, "-d2 "}, {OPTION_LIST_OBJECTS, "-j "},
  };
  QString switches = QStringLiteral(" ");
  for (const auto& option : kStandard) {
    if (standardOptions & option.bit) switches += QLatin1String(option.piece);
  }
  switches += QLatin1Char('-');
  for (const QChar c : userDefOptions) {
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

CompileCommand ComposeCompileCommand(const QString& sourcePath, const CompileSettings& settings) {
  QString outputBase = sourcePath;
  StripExtension(outputBase);

  QString commandLine = QuoteCommandArgument(settings.compiler);
  if (!settings.library.isEmpty())
    commandLine += QLatin1Char(' ') +
                   QuoteCommandArgument(QLatin1String("+include_path=") + settings.library);

  const QString switches =
      ComposeSwitches(settings.standardOptions, settings.userDefOptions, settings.z5);
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
  const QString source = QFileInfo(sourcePath).canonicalFilePath();
  return !source.isEmpty() && source == QFileInfo(outputPath).canonicalFilePath();
}

CompileRun RunCompile(const QString& sourcePath, const CProfileStore& store, COutputSink* output,
                      const std::function<void()>& prepareOutput,
                      const std::function<void()>& pump) {
  CompileRun result;
  const CompileSettings settings = ReadCompileSettings(store);
  if (settings.compiler.isEmpty()) return result;
  result.compilerSet = true;
  const CompileCommand command = ComposeCompileCommand(sourcePath, settings);
  // A source named like its story ("adv.z5") would be replaced by the compiler's output.
  if (OutputWouldOverwriteSource(sourcePath, command.outputPath)) {
    result.refusal = QLatin1String(TEXT_OUTPUT_IS_SOURCE) + sourcePath;
    return result;
  }
  if (prepareOutput) prepareOutput();
  // Each compile has its own redirector, so one started from inside another's pump nests.
  CRedirector redirector(command.commandLine, output);
  if (pump) redirector.SetPumpMessages(pump);
  redirector.Run();
  result.childFinished = redirector.ChildFinished();
  result.exitCode = redirector.ChildExitCode();
  return result;
}
