#include "run_command.h"

#include <algorithm>
#include <memory>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "build_plan.h"
#include "compile_command.h"
#include "compiler_probe.h"
#include "project_file.h"
#include "profile_store.h"
#include "settings_keys.h"

std::optional<qint64> LastWriteSeconds(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  const QFileInfo info(path); // a fresh QFileInfo: no cached time from an earlier look
  if (!info.exists()) return std::nullopt;
  return info.fileTime(QFileDevice::FileModificationTime).toSecsSinceEpoch();
}

bool IsStoryOutOfDate(std::optional<qint64> storyTime, std::optional<qint64> sourceTime) {
  return storyTime && sourceTime && *storyTime < *sourceTime;
}

namespace {

// What Run needs of a build: the story it writes, the files it is built from, and the
// interpreter for that kind of story.
struct RunPlan {
  QString storyPath;
  QStringList sources;
  QString interpreter;
  bool glulx = false;
};

RunPlan PlanRun(const QString& sourcePath, const QString& settingsFile, const ProjectFile* project) {
  const std::unique_ptr<CProfileStore> store = settingsFile.isEmpty()
                                                   ? std::make_unique<CProfileStore>()
                                                   : std::make_unique<CProfileStore>(settingsFile);
  const CompileSettings settings = ReadCompileSettings(*store);
  // The compiler's version decides whether the header or the command line names the target.
  std::optional<CompilerFacts> facts;
  if (!settings.compiler.isEmpty()) facts = CompilerFactsFor(settings.compiler, store.get());
  const BuildPlan build = PlanBuild(sourcePath, settings, facts ? &*facts : nullptr, project);
  RunPlan plan;
  plan.storyPath = build.storyPath;
  plan.sources.append(build.mainFile);
  // A project's story is out of date when any of its files is newer.
  const bool inProject =
      project && project->Contains(QFile::encodeName(QFileInfo(sourcePath).absoluteFilePath()).toStdString());
  if (inProject)
    for (const std::string& file : project->files)
      plan.sources.append(QFile::decodeName(QByteArray::fromStdString(file)));
  plan.glulx = IsGlulx(build.Target());
  plan.interpreter = InterpreterFor(build.Target(), *store, inProject ? project : nullptr);
  return plan;
}

// The newest write time of files, in whole seconds.
std::optional<qint64> NewestWrite(const QStringList& files) {
  std::optional<qint64> newest;
  for (const QString& file : files)
    if (const std::optional<qint64> time = LastWriteSeconds(file); time && (!newest || *time > *newest))
      newest = time;
  return newest;
}

} // namespace

StoryCheck CheckStoryFile(const QString& sourcePath, const QString& settingsFile, const ProjectFile* project) {
  const RunPlan plan = PlanRun(sourcePath, settingsFile, project);
  StoryCheck check;
  check.sourceTime = NewestWrite(plan.sources);
  check.storyTime = LastWriteSeconds(plan.storyPath);
  if (check.storyTime) check.storyPath = plan.storyPath;
  check.outOfDate = IsStoryOutOfDate(check.storyTime, check.sourceTime);
  return check;
}

bool ComposeInterpreterLaunch(const QString& interpreterSetting, const QString& storyPath,
                              QString& program, QStringList& arguments) {
  arguments.clear();
  if (interpreterSetting.trimmed().isEmpty()) return false;
  if (QFileInfo(interpreterSetting).isFile()) {
    program = interpreterSetting;
  } else {
    arguments = QProcess::splitCommand(interpreterSetting);
    if (arguments.isEmpty()) return false;
    program = arguments.takeFirst();
  }
  arguments.append(storyPath);
  return true;
}

CRunHost::CRunHost() = default;

CRunHost::~CRunHost() = default;

bool CRunHost::StartInterpreter(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

CRunCommand::CRunCommand(CRunHost& host, const QString& settingsFile)
    : m_host(host), m_settingsFile(settingsFile) {}

RunOutcome CRunCommand::Run(const QString& sourcePath) {
  // The host's calls may pump events, and with them destroy the document and this command:
  // from here on only locals are used, and the host only while its token lives.
  CRunHost* const host = &m_host;
  const QString settingsFile = m_settingsFile;
  const CLifetimeGuard::CWatch hostLifetime = host->Lifetime();

  // A document that was never saved has no source to build from or compare with.
  if (sourcePath.isEmpty()) return RunOutcome::NoSourcePath;

  if (host->IsModified()) {
    host->SaveDocument(sourcePath);
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
  }
  const RunPlan plan = PlanRun(sourcePath, settingsFile, host->Project());
  const std::optional<qint64> sourceTime = NewestWrite(plan.sources);

  const QString storyPath = plan.storyPath;
  if (!LastWriteSeconds(storyPath)) {
    const RunAnswer answer = host->AskYesNoCancel(storyPath + QLatin1String(TEXT_STORY_MISSING));
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
    if (answer != RunAnswer::Yes) return RunOutcome::Declined;
    host->Compile();
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
    if (!LastWriteSeconds(storyPath)) return RunOutcome::NoStory;
  }

  const QString storyName = QFileInfo(storyPath).fileName();
  const std::optional<qint64> storyTime = LastWriteSeconds(storyPath);
  if (IsStoryOutOfDate(storyTime, sourceTime)) {
    const RunAnswer answer = host->AskYesNoCancel(
        QLatin1String(TEXT_OUT_OF_DATE_HEAD) + QLatin1String(TEXT_OUT_OF_DATE_INDENT) + storyName +
        QLatin1String(TEXT_OUT_OF_DATE_TAIL));
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
    if (answer == RunAnswer::Cancel) return RunOutcome::Declined;
    if (answer == RunAnswer::Yes) {
      host->Compile();
      if (hostLifetime.IsGone()) return RunOutcome::HostGone;
      const std::optional<qint64> rebuiltTime = LastWriteSeconds(storyPath);
      if (!rebuiltTime || rebuiltTime == storyTime) return RunOutcome::NotRewritten;
    }
  }

  const QString interpreter = plan.interpreter;
  QString program;
  QStringList arguments;
  if (!ComposeInterpreterLaunch(interpreter, storyPath, program, arguments)) {
    host->ShowMessage(QLatin1String(plan.glulx ? TEXT_NO_GLULX_INTERPRETER_PATH : TEXT_NO_INTERPRETER_PATH));
    return hostLifetime.IsGone() ? RunOutcome::HostGone : RunOutcome::NoInterpreter;
  }
  if (!host->StartInterpreter(program, arguments)) {
    // Starting is not waited for, but a program that cannot be started at all is told.
    host->ShowMessage(QLatin1String(TEXT_INTERPRETER_NOT_STARTED) + program);
    return hostLifetime.IsGone() ? RunOutcome::HostGone : RunOutcome::InterpreterFailed;
  }
  return RunOutcome::Launched;
}
