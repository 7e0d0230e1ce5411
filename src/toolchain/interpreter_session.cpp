#include "interpreter_session.h"

#include <QFileInfo>
#include <QProcess>

#include "child_process_tree.h"
#include "play_settings.h"

PlayOptions ReadPlayOptions(const CProfileStore& store) {
  PlayOptions options;
  const QString interpreter = ReadSetting(store, SETTING_PLAY_INTERPRETER);
  if (!interpreter.isEmpty()) options.interpreter = interpreter;
  // Out-of-range values fall back to the defaults rather than reach the interpreter.
  const uint32_t seed = ReadSetting(store, SETTING_PLAY_SEED);
  if (seed >= 1 && seed <= 32767) options.seed = static_cast<int>(seed);
  const uint32_t width = ReadSetting(store, SETTING_PLAY_WIDTH);
  if (width >= 20 && width <= 255) options.width = static_cast<int>(width);
  const uint32_t limit = ReadSetting(store, SETTING_PLAY_TIME_LIMIT);
  if (limit >= 1 && limit <= 3600) options.timeLimitSeconds = static_cast<int>(limit);
  return options;
}

QStringList InterpreterArguments(const QString& storyPath, const PlayOptions& options) {
  return {QStringLiteral("-m"), QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("lt"),
          QStringLiteral("-w"), QString::number(options.width),
          QStringLiteral("-s"), QString::number(options.seed),
          QStringLiteral("-R"), QFileInfo(storyPath).absolutePath(), storyPath};
}

QString UnplayableReason(const QString& storyPath) {
  const QString suffix = QFileInfo(storyPath).suffix().toLower();
  if (suffix.size() == 2 && suffix.startsWith('z') && suffix[1] >= '1' && suffix[1] <= '8')
    return QString();
  if (suffix == QLatin1String("ulx") || suffix == QLatin1String("gblorb"))
    return QStringLiteral("Glulx stories are not played here: no line-mode Glulx interpreter is "
                          "installed (Debian's glulxe draws a terminal screen). Run (F5) plays "
                          "it in the external interpreter.");
  return QStringLiteral("%1 is not a Z-code story file (.z1 to .z8).").arg(QFileInfo(storyPath).fileName());
}

CInterpreterSession::CInterpreterSession(QObject* parent) : QObject(parent) {}

CInterpreterSession::~CInterpreterSession() {
  if (m_process) {
    m_process->disconnect(this);
    if (m_tree) m_tree->EndAll();
    m_process->waitForFinished(1000);
  }
}

bool CInterpreterSession::Start(const QString& storyPath, const PlayOptions& options) {
  m_process = std::make_unique<QProcess>();
  m_tree = std::make_unique<CChildProcessTree>();
  m_reader = CLineTypedReader();
  m_commands.clear();
  m_endReason.clear();
  m_stopped = false;
  m_process->setProcessChannelMode(QProcess::MergedChannels);
  m_process->setWorkingDirectory(QFileInfo(storyPath).absolutePath());
  m_tree->Prepare(*m_process);
  connect(m_process.get(), &QProcess::readyReadStandardOutput, this, &CInterpreterSession::ReadOutput);
  connect(m_process.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
    ReadOutput();
    if (m_stopped) Finish(QStringLiteral("Stopped."));
    else if (status == QProcess::CrashExit) Finish(QStringLiteral("The interpreter crashed."));
    else if (code != 0) Finish(QStringLiteral("The interpreter ended with status %1.").arg(code));
    else Finish(QString());
  });
  m_process->start(options.interpreter, InterpreterArguments(storyPath, options), QIODevice::ReadWrite);
  if (!m_process->waitForStarted(-1)) {
    Finish(QStringLiteral("The interpreter %1 could not be started: %2")
               .arg(options.interpreter, m_process->errorString()));
    return false;
  }
  m_tree->Started(static_cast<pid_t>(m_process->processId()));
  m_running = true;
  return true;
}

void CInterpreterSession::Send(const std::string& command) {
  if (!m_running) return;
  m_commands.push_back(command);
  m_process->write(QByteArray::fromStdString(command + '\n'));
}

void CInterpreterSession::CloseInput() {
  if (m_running) m_process->closeWriteChannel();
}

void CInterpreterSession::Stop() {
  if (!m_running) return;
  m_stopped = true;
  m_tree->EndAll();
}

void CInterpreterSession::ReadOutput() {
  if (!m_process) return;
  std::vector<CLineTypedReader::Line> lines;
  const size_t pendingSize = m_reader.Pending().size();
  for (;;) {
    const QByteArray chunk = m_process->read(64 * 1024);
    if (chunk.isEmpty()) break;
    m_reader.Feed(std::string_view(chunk.constData(), static_cast<size_t>(chunk.size())), lines);
  }
  if (!lines.empty()) emit LinesRead(lines);
  if (!lines.empty() || m_reader.Pending().size() != pendingSize) emit PendingChanged();
}

void CInterpreterSession::Finish(const QString& reason) {
  if (m_process && m_process->state() == QProcess::NotRunning) {
    std::vector<CLineTypedReader::Line> lines;
    m_reader.Finish(lines);
    if (!lines.empty()) emit LinesRead(lines);
  }
  m_endReason = reason;
  m_running = false;
  if (m_tree) m_tree->EndAll(); // helpers the story's interpreter left behind
  emit Ended();
}
