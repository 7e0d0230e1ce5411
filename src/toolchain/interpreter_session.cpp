#include "interpreter_session.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

#include "child_process_tree.h"
#include "emglken_runner.h"
#include "play_settings.h"
#include "remglk_reader.h"

namespace {

const QString DFROTZ = QStringLiteral("/usr/games/dfrotz");

enum class StoryFormat { Other, ZCode, Glulx };

StoryFormat FormatOf(const QString& storyPath) {
  const QString suffix = QFileInfo(storyPath).suffix().toLower();
  if ((suffix.size() == 2 && suffix.startsWith('z') && suffix[1] >= '1' && suffix[1] <= '8') ||
      suffix == QLatin1String("zblorb") || suffix == QLatin1String("zlb"))
    return StoryFormat::ZCode;
  if (suffix == QLatin1String("ulx") || suffix == QLatin1String("gblorb") || suffix == QLatin1String("glb"))
    return StoryFormat::Glulx;
  return StoryFormat::Other;
}

// The major version of a Node program, 0 when it does not answer; asked once per program.
int NodeMajor(const QString& node) {
  static QHash<QString, int> known;
  const auto found = known.constFind(node);
  if (found != known.constEnd()) return *found;
  QProcess process;
  process.start(node, {QStringLiteral("-p"), QStringLiteral("process.versions.node")});
  const bool answered = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
  if (!answered) process.kill(), process.waitForFinished(1000);
  const int major = answered ? process.readAllStandardOutput().trimmed().split('.').value(0).toInt() : 0;
  known.insert(node, major);
  return major;
}

// emglken's package folder for an npm prefix or the package folder itself; "" when neither holds it.
QString EmglkenPackage(const QString& home) {
  for (const QString& folder : {home, home + QStringLiteral("/node_modules/emglken")})
    if (!home.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/build/bocfel.js")) &&
        QFileInfo::exists(folder + QStringLiteral("/build/glulxe.js")) &&
        QFileInfo::exists(folder + QStringLiteral("/build/asyncglk.js")))
      return QDir(folder).absolutePath();
  return QString();
}

} // namespace

QString DefaultEmglkenHome() {
  const QString set = qEnvironmentVariable("TORVANE_EMGLKEN");
  return set.isEmpty() ? QStringLiteral("/usr/local/lib/torvane/emglken") : set;
}

QString PlayEngine::Name() const {
  return kind == Emglken ? QStringLiteral("emglken") : QFileInfo(program).fileName();
}

PlayEngine ChoosePlayEngine(const PlayOptions& options) {
  PlayEngine engine;
  if (!options.interpreter.isEmpty()) {
    engine.program = options.interpreter;
    return engine;
  }
  engine.program = DFROTZ;
  const QString package = EmglkenPackage(options.emglken);
  const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
  const int major = node.isEmpty() ? 0 : NodeMajor(node);
  if (package.isEmpty())
    engine.why = QStringLiteral("emglken is not installed in %1 (scripts/setup installs it)").arg(options.emglken);
  else if (node.isEmpty())
    engine.why = QStringLiteral("Node, which runs emglken, is not installed");
  else if (major < 20)
    engine.why = QStringLiteral("emglken needs Node 20 or later; %1 is older").arg(node);
  if (!engine.why.isEmpty()) return engine;
  engine.kind = PlayEngine::Emglken;
  engine.program = node;
  engine.emglken = package;
  return engine;
}

PlayOptions ReadPlayOptions(const CProfileStore& store) {
  PlayOptions options;
  options.interpreter = ReadSetting(store, SETTING_PLAY_INTERPRETER);
  const QString emglken = ReadSetting(store, SETTING_PLAY_EMGLKEN);
  if (!emglken.isEmpty()) options.emglken = emglken;
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

QStringList EmglkenArguments(const QString& storyPath, const PlayEngine& engine, const PlayOptions& options) {
  const bool glulx = FormatOf(storyPath) == StoryFormat::Glulx;
  return {QStringLiteral("--input-type=module"), QStringLiteral("-e"), QString::fromUtf8(EMGLKEN_RUNNER),
          QStringLiteral("--"), engine.emglken, glulx ? QStringLiteral("glulxe") : QStringLiteral("bocfel"),
          QString::number(options.seed), QFileInfo(storyPath).absoluteFilePath()};
}

QString UnplayableReason(const QString& storyPath, const PlayOptions& options) {
  const StoryFormat format = FormatOf(storyPath);
  if (format == StoryFormat::ZCode) return QString();
  if (format == StoryFormat::Glulx) {
    const PlayEngine engine = ChoosePlayEngine(options);
    if (engine.kind == PlayEngine::Emglken) return QString();
    return QStringLiteral("Glulx stories are not played here: no line-mode Glulx interpreter is "
                          "installed (Debian's glulxe draws a terminal screen%1). Run (F5) plays "
                          "it in the external interpreter.")
        .arg(engine.why.isEmpty() ? QString() : QStringLiteral("; ") + engine.why);
  }
  return QStringLiteral("%1 is not a Z-code story file (.z1 to .z8) or a Glulx one (.ulx).").arg(QFileInfo(storyPath).fileName());
}

QString GlulxStoryOf(const QString& sourcePath) {
  const QFileInfo source(sourcePath);
  const QString story = source.absoluteDir().filePath(source.completeBaseName() + QStringLiteral(".ulx"));
  return !sourcePath.isEmpty() && QFileInfo(story).isFile() ? story : QString();
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
  m_engine = ChoosePlayEngine(options);
  m_remglk.reset(m_engine.kind == PlayEngine::Emglken ? new CRemGlkReader(options.width) : nullptr);
  m_waiting.clear();
  m_status.clear();
  m_inputClosed = m_endedAtInput = false;
  m_commands.clear();
  m_endReason.clear();
  m_stopped = false;
  m_errors.clear();
  // Standard error apart: dfrotz writes its notes there ("EOT" at the end of its input), and
  // they are no part of the story's text; the last of them explain an abnormal end.
  m_process->setProcessChannelMode(QProcess::SeparateChannels);
  m_process->setWorkingDirectory(QFileInfo(storyPath).absolutePath());
  m_tree->Prepare(*m_process);
  connect(m_process.get(), &QProcess::readyReadStandardOutput, this, &CInterpreterSession::ReadOutput);
  connect(m_process.get(), &QProcess::readyReadStandardError, this, [this] {
    m_errors = (m_errors + m_process->readAllStandardError()).right(MAX_ERROR_BYTES);
  });
  connect(m_process.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
    ReadOutput();
    const QString said = QString::fromLocal8Bit(m_errors.trimmed()).section('\n', -1).trimmed();
    const QString note = said.isEmpty() || said == QLatin1String("EOT") ? QString() : QStringLiteral(" (%1)").arg(said);
    const QString failure = m_remglk ? m_remglk->Failure() : QString();
    if (m_stopped) Finish(QStringLiteral("Stopped."));
    else if (!failure.isEmpty()) Finish(failure);
    else if (m_remglk && !m_remglk->FatalError().isEmpty()) Finish(QStringLiteral("The interpreter stopped: %1").arg(m_remglk->FatalError()));
    else if (m_endedAtInput) Finish(QString());
    else if (status == QProcess::CrashExit) Finish(QStringLiteral("The interpreter crashed.") + note);
    else if (code != 0) Finish(QStringLiteral("The interpreter ended with status %1.").arg(code) + note);
    else Finish(QString());
  });
  const QStringList arguments = m_remglk ? EmglkenArguments(storyPath, m_engine, options)
                                         : InterpreterArguments(storyPath, options);
  m_process->start(m_engine.program, arguments, QIODevice::ReadWrite);
  if (!m_process->waitForStarted(-1)) {
    Finish(QStringLiteral("The interpreter %1 could not be started: %2")
               .arg(m_engine.program, m_process->errorString()));
    return false;
  }
  m_tree->Started(static_cast<pid_t>(m_process->processId()));
  m_running = true;
  if (m_remglk) m_process->write(m_remglk->InitEvent());
  return true;
}

void CInterpreterSession::Send(const std::string& command) {
  if (!m_running) return;
  m_commands.push_back(command);
  if (!m_remglk) {
    m_process->write(QByteArray::fromStdString(command + '\n'));
    return;
  }
  m_waiting.push_back(command);
  std::vector<CLineTypedReader::Line> lines;
  AnswerRequests(lines);
  if (!lines.empty()) emit LinesRead(lines);
  emit PendingChanged();
}

void CInterpreterSession::CloseInput() {
  if (!m_running) return;
  m_inputClosed = true;
  if (!m_remglk) {
    m_process->closeWriteChannel();
    return;
  }
  std::vector<CLineTypedReader::Line> lines;
  AnswerRequests(lines);
}

void CInterpreterSession::AnswerRequests(std::vector<CLineTypedReader::Line>& lines) {
  if (!m_remglk || !m_running || m_stopped || m_endedAtInput) return;
  if (m_remglk->Waiting() && !m_waiting.empty()) {
    m_process->write(m_remglk->Answer(m_waiting.front(), lines));
    m_waiting.pop_front();
  } else if (m_remglk->Waiting() && m_inputClosed) {
    // The story asks past the last command: where dfrotz would meet the end of its input.
    m_endedAtInput = true;
    m_tree->EndAll();
  }
}

void CInterpreterSession::Stop() {
  if (!m_running) return;
  m_stopped = true;
  m_tree->EndAll();
}

std::string_view CInterpreterSession::Pending() const {
  return m_remglk ? m_remglk->Pending() : m_reader.Pending();
}

QString CInterpreterSession::StatusLine() const { return m_status; }

void CInterpreterSession::ReadOutput() {
  if (!m_process) return;
  std::vector<CLineTypedReader::Line> lines;
  const std::string pending(Pending());
  for (;;) {
    const QByteArray chunk = m_process->read(READ_SLICE);
    if (chunk.isEmpty()) break;
    const std::string_view bytes(chunk.constData(), static_cast<size_t>(chunk.size()));
    if (m_remglk) m_remglk->Feed(bytes, lines);
    else m_reader.Feed(bytes, lines);
  }
  if (m_remglk) {
    if (!m_remglk->Failure().isEmpty() && m_running && !m_stopped) m_tree->EndAll();
    AnswerRequests(lines);
  }
  if (!lines.empty()) emit LinesRead(lines);
  if (!lines.empty() || Pending() != pending) emit PendingChanged();
  if (m_remglk && m_remglk->StatusLine() != m_status) {
    m_status = m_remglk->StatusLine();
    emit StatusChanged();
  }
}

void CInterpreterSession::Finish(const QString& reason) {
  if (m_process && m_process->state() == QProcess::NotRunning) {
    std::vector<CLineTypedReader::Line> lines;
    if (m_remglk) m_remglk->Finish(lines);
    else m_reader.Finish(lines);
    if (!lines.empty()) emit LinesRead(lines);
  }
  m_endReason = reason;
  m_running = false;
  if (m_tree) m_tree->EndAll(); // helpers the story's interpreter left behind
  emit Ended();
}

std::vector<CLineTypedReader::Line> CInterpreterSession::PendingAsLines() const {
  std::vector<CLineTypedReader::Line> lines;
  if (m_remglk) {
    CRemGlkReader copy = *m_remglk;
    copy.Finish(lines);
  } else {
    CLineTypedReader copy = m_reader;
    copy.Finish(lines);
  }
  return lines;
}
