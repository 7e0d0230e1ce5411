#include "walkthrough_check.h"

#include <QEventLoop>

#include "transcript_normaliser.h"
#include "walkthrough_folder.h"

PlayOptions OptionsFor(const WalkthroughCommands& commands, PlayOptions options) {
  if (commands.seed > 0) options.seed = commands.seed;
  if (commands.width > 0) options.width = commands.width;
  return options;
}

CWalkthroughCheck::CWalkthroughCheck(QObject* parent) : QObject(parent) {
  m_timeLimit.setSingleShot(true);
  connect(&m_timeLimit, &QTimer::timeout, this, [this] {
    m_timedOut = true;
    if (m_session) m_session->Stop();
  });
}

CWalkthroughCheck::~CWalkthroughCheck() = default;

void CWalkthroughCheck::Start(const QString& folder, const QStringList& names,
                              const QString& storyPath, const PlayOptions& options) {
  Cancel();
  m_folder = folder, m_storyPath = storyPath, m_options = options;
  m_queue.assign(names.begin(), names.end());
  // Outcomes are reported from the event loop, so a caller connects after Start as well.
  QTimer::singleShot(0, this, &CWalkthroughCheck::Next);
}

void CWalkthroughCheck::Cancel() {
  m_queue.clear();
  m_timeLimit.stop();
  if (m_session) {
    m_session->disconnect(this);
    m_session.reset();
  }
}

void CWalkthroughCheck::Next() {
  if (m_session) return;
  if (m_queue.empty()) {
    emit AllChecked();
    return;
  }
  m_current = WalkthroughOutcome();
  m_current.name = m_queue.front();
  m_queue.pop_front();
  m_overflow = m_timedOut = false;
  QString error;
  if (!ReadWalkthroughCommands(m_folder, m_current.name, m_current.commands, error)) {
    Conclude(error);
    return;
  }
  const QString unplayable = UnplayableReason(m_storyPath, OptionsFor(m_current.commands, m_options));
  if (!unplayable.isEmpty()) {
    Conclude(unplayable);
    return;
  }
  m_session = std::make_unique<CInterpreterSession>();
  connect(m_session.get(), &CInterpreterSession::LinesRead, this,
          [this](const std::vector<CLineTypedReader::Line>& lines) {
            if (m_overflow) return;
            m_current.actual.Add(lines, m_current.commands.commands);
            if (m_current.actual.Bytes() > static_cast<size_t>(MAX_TRANSCRIPT_BYTES)) {
              m_overflow = true;
              m_session->Stop();
            }
          });
  connect(m_session.get(), &CInterpreterSession::Ended, this, [this] {
    m_timeLimit.stop();
    const QString reason = m_session->EndReason();
    // The session may not be destroyed inside its own signal.
    m_session.release()->deleteLater();
    const int limit = OptionsFor(m_current.commands, m_options).timeLimitSeconds;
    if (m_overflow)
      Conclude(QStringLiteral("The story wrote more than %1 MB; it was stopped.").arg(MAX_TRANSCRIPT_BYTES / (1024 * 1024)));
    else if (m_timedOut)
      Conclude(QStringLiteral("Stopped after %1 s: the story did not end (no \"quit\" came, or it "
                              "waits for a key).").arg(limit));
    else
      Conclude(reason);
  });
  const PlayOptions options = OptionsFor(m_current.commands, m_options);
  if (!m_session->Start(m_storyPath, options)) return; // Ended has concluded it
  m_timeLimit.start(options.timeLimitSeconds * 1000);
  for (const std::string& command : m_current.commands.commands) m_session->Send(command);
  m_session->CloseInput();
}

void CWalkthroughCheck::Conclude(const QString& problem) {
  WalkthroughOutcome& outcome = m_current;
  outcome.problem = problem;
  outcome.ranToEnd = problem.isEmpty();
  QString error;
  CTranscriptNormaliser normaliser;
  if (outcome.problem.isEmpty() && !ReadIgnorePatterns(m_folder, normaliser, error)) outcome.problem = error;
  if (outcome.problem.isEmpty() &&
      !ReadExpectedTranscript(m_folder, outcome.name, outcome.expected, outcome.hasExpected, error))
    outcome.problem = error;
  if (outcome.problem.isEmpty() && !outcome.hasExpected)
    outcome.problem = QStringLiteral("There is no %1.expected yet: Bless accepts this transcript.").arg(outcome.name);
  if (outcome.ranToEnd || outcome.hasExpected)
    outcome.runs = DiffLines(normaliser.Lines(outcome.expected), normaliser.Lines(outcome.actual.lines));
  bool same = outcome.problem.isEmpty();
  for (const DiffRun& run : outcome.runs) same = same && run.kind == DiffRun::Equal;
  outcome.state = same ? WalkthroughOutcome::Passed : WalkthroughOutcome::Failed;
  emit Checked(outcome);
  QTimer::singleShot(0, this, &CWalkthroughCheck::Next);
}

std::vector<WalkthroughOutcome> CheckWalkthroughsNow(const QString& folder, const QString& storyPath,
                                                     const PlayOptions& options) {
  std::vector<WalkthroughOutcome> outcomes;
  CWalkthroughCheck check;
  QEventLoop loop;
  QObject::connect(&check, &CWalkthroughCheck::Checked, &loop,
                   [&outcomes](const WalkthroughOutcome& outcome) { outcomes.push_back(outcome); });
  QObject::connect(&check, &CWalkthroughCheck::AllChecked, &loop, &QEventLoop::quit);
  check.Start(folder, ListWalkthroughs(folder), storyPath, options);
  loop.exec();
  return outcomes;
}
