#include "build_plan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "compiler_probe.h"
#include "profile_store.h"
#include "project_file.h"
#include "settings_keys.h"

namespace {

std::string Native(const QString& text) { return QFile::encodeName(text).toStdString(); }
QString FromNative(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }

// Whether the header picks the target itself ("-v3", "-G" anywhere in its switches).
bool HeaderNamesTarget(const IclHeader& header) {
  for (const IclCommand& command : header.commands) {
    if (command.text.size() < 2 || command.text.front() != '-') continue;
    const std::string& text = command.text;
    for (size_t i = 1; i < text.size(); ++i)
      if (text[i] == 'G' || (text[i] == 'v' && i + 1 < text.size() && text[i + 1] >= '3' && text[i + 1] <= '8'))
        return true;
  }
  return false;
}

// The global settings' arguments: the standard and additional switches, the source's folder
// and the library as the include path, and the version unless the header names a target.
std::vector<std::string> SettingsArguments(const QString& mainFile, const CompileSettings& settings,
                                           const CompilerFacts* facts, bool headerTarget) {
  QString switches = ComposeSwitches(settings.standardOptions, settings.userDefOptions, settings.z5, facts);
  switches.chop(3); // "v5 " or "v8 ": given on its own below
  std::vector<std::string> arguments;
  for (const QString& argument : QProcess::splitCommand(switches))
    if (argument != QLatin1String("-")) arguments.push_back(argument.toStdString());
  QString includePath = QFileInfo(mainFile).absolutePath();
  if (!settings.library.isEmpty()) includePath += QLatin1Char(',') + settings.library;
  arguments.push_back("+include_path=" + Native(includePath));
  if (!headerTarget) arguments.push_back(settings.z5 == 1 ? "-v5" : "-v8");
  return arguments;
}

QString Warning(const BuildAnalysis& analysis) {
  const LibraryKind kind = analysis.library.kind;
  if (kind == LibraryKind::Standard && analysis.options.target == StoryTarget::Z3)
    return QLatin1String(TEXT_STANDARD_LIBRARY_Z3);
  if (kind == LibraryKind::PunyInform && analysis.options.target == StoryTarget::Glulx)
    return QLatin1String(TEXT_PUNYINFORM_GLULX);
  return {};
}

} // namespace

QString BuildPlan::Summary() const {
  return QStringLiteral("Profile %1, target %2, %3")
      .arg(profile.isEmpty() ? QStringLiteral("none (no project)") : profile,
           QLatin1String(TargetName(Target())), QString::fromStdString(analysis.library.Describe()));
}

QStringList BuildPlan::Problems() const {
  QStringList lines;
  for (const SourceMessage& problem : analysis.problems) lines.append(FromNative(problem.Describe()));
  return lines;
}

BuildPlan PlanBuild(const QString& sourcePath, const CompileSettings& settings,
                    const CompilerFacts* facts, const ProjectFile* project,
                    std::optional<TextEncoding> sourceEncoding) {
  BuildPlan plan;
  const bool inProject = project && project->Contains(Native(QFileInfo(sourcePath).absoluteFilePath()));
  plan.mainFile = inProject ? FromNative(project->mainFile) : QFileInfo(sourcePath).absoluteFilePath();
  BuildInputs inputs;
  inputs.mainFile = Native(plan.mainFile);
  inputs.compilerVersion = facts && facts->IsKnown() ? facts->version : 0;
  if (facts && facts->IsKnown())
    for (const QString& known : facts->switches) inputs.knownSwitches.push_back(known.toStdString());
  if (inProject) {
    plan.profile = QLatin1String(ProfileName(project->profile));
    inputs.commandLine = ProjectCommandLine(*project, Native(settings.library));
    inputs.libraryFolder = project->libraryPath.empty() ? Native(settings.library) : project->libraryPath;
    inputs.libraryOrigin = project->libraryPath.empty() ? SourceMessage{TEXT_LIBRARY_SETTING, 0, {}}
                                                        : SourceMessage{project->path, project->libraryLine, {}};
  }
  const IclHeader header = ReadIclHeader(inputs.mainFile);
  if (!inProject) {
    const bool headerTarget = HeaderNamesTarget(header);
    inputs.commandLine = SettingsArguments(plan.mainFile, settings, facts, headerTarget);
    inputs.libraryFolder = Native(settings.library);
    inputs.libraryOrigin = {TEXT_LIBRARY_SETTING, 0, {}};
  }
  const bool sourceIsMain = plan.mainFile == QFileInfo(sourcePath).absoluteFilePath();
  const TextEncoding encoding =
      sourceEncoding && sourceIsMain ? *sourceEncoding
                   : FileEncoding(inputs.mainFile, header,
                                  CommandLineEncoding(inProject ? project : nullptr, settings.userDefOptions));
  AddEncodingSwitch(inputs.commandLine, header, encoding);
  plan.analysis = AnalyseBuild(inputs);
  plan.storyPath = FromNative(plan.analysis.storyFile);
  plan.workingDirectory = QFileInfo(plan.mainFile).absolutePath();
  plan.warning = Warning(plan.analysis);
  QString commandLine = QuoteCommandArgument(settings.compiler);
  for (const std::string& argument : inputs.commandLine) {
    plan.arguments.append(FromNative(argument));
    commandLine += QLatin1Char(' ') + QuoteCommandArgument(plan.arguments.last());
  }
  plan.commandLine = commandLine + QLatin1Char(' ') + QuoteCommandArgument(plan.mainFile) +
                     QLatin1Char(' ') + QuoteCommandArgument(plan.storyPath);
  return plan;
}

QString InterpreterFor(StoryTarget target, const CProfileStore& store, const ProjectFile* project) {
  if (project) {
    const auto own = project->interpreters.find(TargetName(target));
    if (own != project->interpreters.end() && !own->second.empty()) return FromNative(own->second);
  }
  return ReadToolPath(store, IsGlulx(target) ? SETTING_GLULX_INTERPRETER_PATH : SETTING_INTERPRETER_PATH);
}
