#include "run_command.h"

#include <algorithm>
#include <memory>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "compile_command.h"
#include "profile_store.h"
#include "settings_keys.h"

std::optional<qint64> LastWriteSeconds(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  const QFileInfo info(path); // a fresh QFileInfo: no cached time from an earlier look
  if (!info.exists()) return std::nullopt;
  return info.fileTime(QFileDevice::FileModificationTime).toSecsSinceEpoch();
}

QString FindStoryFile(const QString& sourcePath) {
  QString base = sourcePath;
  StripExtension(base);
  const QFileInfo baseInfo(base);
  const QString prefix = baseInfo.fileName() + QLatin1String(".z");
  // Compared by hand rather than as a wildcard pattern, so that "[", "*" or "?" in the
  // source's own name stay plain characters.
  QStringList matches;
  const QDir dir = baseInfo.dir();
  const QStringList names =
      dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  for (const QString& name : names) {
    if (name.startsWith(prefix)) matches.append(name);
  }
  if (matches.isEmpty()) return QString();
  std::sort(matches.begin(), matches.end());
  return dir.filePath(matches.first());
}

bool IsStoryOutOfDate(std::optional<qint64> storyTime, std::optional<qint64> sourceTime) {
  return storyTime && sourceTime && *storyTime < *sourceTime;
}

StoryCheck CheckStoryFile(const QString& sourcePath) {
  StoryCheck check;
  check.sourceTime = LastWriteSeconds(sourcePath);
  check.storyPath = FindStoryFile(sourcePath);
  if (check.storyPath.isEmpty()) return check;
  check.storyTime = LastWriteSeconds(check.storyPath);
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
  const std::optional<qint64> sourceTime = LastWriteSeconds(sourcePath);

  QString storyPath = FindStoryFile(sourcePath);
  if (storyPath.isEmpty()) {
    QString base = sourcePath;
    StripExtension(base);
    const RunAnswer answer = host->AskYesNoCancel(base + QLatin1String(TEXT_STORY_MISSING));
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
    if (answer != RunAnswer::Yes) return RunOutcome::Declined;
    host->Compile();
    if (hostLifetime.IsGone()) return RunOutcome::HostGone;
    storyPath = FindStoryFile(sourcePath);
    if (storyPath.isEmpty()) return RunOutcome::NoStory;
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

  QString interpreter;
  {
    const std::unique_ptr<CProfileStore> store =
        settingsFile.isEmpty() ? std::make_unique<CProfileStore>()
                               : std::make_unique<CProfileStore>(settingsFile);
    interpreter = ReadToolPath(*store, SETTING_INTERPRETER_PATH);
  }
  QString program;
  QStringList arguments;
  if (!ComposeInterpreterLaunch(interpreter, storyPath, program, arguments)) {
    host->ShowMessage(QLatin1String(TEXT_NO_INTERPRETER_PATH));
    return hostLifetime.IsGone() ? RunOutcome::HostGone : RunOutcome::NoInterpreter;
  }
  if (!host->StartInterpreter(program, arguments)) {
    // Starting is not waited for, but a program that cannot be started at all is told.
    host->ShowMessage(QLatin1String(TEXT_INTERPRETER_NOT_STARTED) + program);
    return hostLifetime.IsGone() ? RunOutcome::HostGone : RunOutcome::InterpreterFailed;
  }
  return RunOutcome::Launched;
}
