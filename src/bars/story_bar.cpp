#include "story_bar.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "walkthrough_folder.h"

CStoryBar::CStoryBar(QWidget* parent) : QWidget(parent) {
  BuildWidgets();
  m_showTimer.setSingleShot(true);
  m_showTimer.setInterval(SHOW_MS);
  connect(&m_showTimer, &QTimer::timeout, this, &CStoryBar::FlushShown);
  UpdateState();
}

CStoryBar::~CStoryBar() = default;

void CStoryBar::BuildWidgets() {
  auto* row = new QHBoxLayout;
  m_restart = new QPushButton(tr("&Restart"), this);
  m_stop = new QPushButton(tr("&Stop"), this);
  m_replay = new QPushButton(tr("Replay to &Here"), this);
  m_save = new QPushButton(tr("Save as &Walkthrough..."), this);
  m_seed = new QSpinBox(this);
  m_seed->setRange(1, 32767);
  m_seed->setPrefix(tr("Seed "));
  m_seed->setToolTip(tr("The random seed of the next start; walkthroughs keep theirs"));
  m_state = new QLabel(this);
  m_state->setTextFormat(Qt::PlainText);
  for (QWidget* w : std::initializer_list<QWidget*>{m_restart, m_stop, m_seed, m_replay, m_save}) row->addWidget(w);
  row->addStretch();

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // The story's own status line, drawn as interpreters draw it: reversed, in the fixed font.
  m_status = new QLabel(this);
  m_status->setTextFormat(Qt::PlainText);
  m_status->setFont(fixed);
  m_status->setAutoFillBackground(true);
  QPalette reversed = m_status->palette();
  reversed.setColor(QPalette::Window, palette().color(QPalette::Text));
  reversed.setColor(QPalette::WindowText, palette().color(QPalette::Base));
  m_status->setPalette(reversed);
  m_status->setAccessibleName(tr("Status line"));
  m_status->hide();
  m_text = new QPlainTextEdit(this);
  m_text->setReadOnly(true);
  m_text->setFont(fixed);
  m_text->setMaximumBlockCount(MAX_SHOWN_LINES);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_command = new QLineEdit(this);
  m_command->setFont(fixed);
  m_command->setPlaceholderText(tr("Command"));
  m_command->installEventFilter(this);
  m_commandList = new QListWidget(this);
  m_commandList->setToolTip(tr("Commands played; Replay to Here plays again up to the chosen one"));

  auto* story = new QWidget(this);
  auto* storyLayout = new QVBoxLayout(story);
  storyLayout->setContentsMargins(0, 0, 0, 0);
  storyLayout->addWidget(m_state);
  storyLayout->addWidget(m_status);
  storyLayout->addWidget(m_text, 1);
  storyLayout->addWidget(m_command);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(story);
  splitter->addWidget(m_commandList);
  splitter->setStretchFactor(0, 4);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(row);
  layout->addWidget(splitter, 1);

  connect(m_command, &QLineEdit::returnPressed, this, &CStoryBar::SendCommand);
  connect(m_restart, &QPushButton::clicked, this, &CStoryBar::Restart);
  connect(m_stop, &QPushButton::clicked, this, &CStoryBar::Stop);
  connect(m_save, &QPushButton::clicked, this, &CStoryBar::saveAsWalkthroughRequested);
  connect(m_replay, &QPushButton::clicked, this, [this] { ReplayTo(m_commandList->currentRow()); });
  connect(m_commandList, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { ReplayTo(m_commandList->row(item)); });
  connect(m_commandList, &QListWidget::currentRowChanged, this, &CStoryBar::UpdateState);
}

int CStoryBar::Seed() const { return m_seed->value(); }

Transcript CStoryBar::PlayedTranscript() const {
  Transcript transcript = m_transcript;
  if (m_session) transcript.Add(m_session->PendingAsLines(), m_commands);
  return transcript;
}

void CStoryBar::Play(const QString& storyPath, const PlayOptions& options,
                     const std::vector<std::string>& replay, size_t count) {
  Stop();
  m_session.reset();
  ShowStatus();
  m_storyPath = storyPath;
  m_options = options;
  m_seed->setValue(options.seed);
  m_commands.assign(replay.begin(), replay.begin() + static_cast<std::ptrdiff_t>(std::min(count, replay.size())));
  m_silentInputs = m_commands.size();
  m_inputsShown = 0;
  m_transcript = Transcript();
  m_transcriptCut = false;
  m_shownQueue.clear();
  m_shownPending.clear();
  m_text->clear();
  m_commandList->clear();
  for (const std::string& command : m_commands) m_commandList->addItem(QString::fromStdString(command));
  m_session = std::make_unique<CInterpreterSession>();
  connect(m_session.get(), &CInterpreterSession::LinesRead, this, &CStoryBar::OnLines);
  connect(m_session.get(), &CInterpreterSession::PendingChanged, this, &CStoryBar::ShowPending);
  connect(m_session.get(), &CInterpreterSession::StatusChanged, this, &CStoryBar::ShowStatus);
  connect(m_session.get(), &CInterpreterSession::Ended, this, [this] {
    FlushShown();
    const QString reason = m_session->EndReason();
    // On a line of its own: after the last line end, or after the part line left.
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText((cursor.atBlockStart() ? QString() : QStringLiteral("\n")) +
                      (reason.isEmpty() ? tr("[The story has ended.]") : QStringLiteral("[%1]").arg(reason)));
    UpdateState();
  });
  if (m_session->Start(storyPath, options))
    for (const std::string& command : m_commands) m_session->Send(command);
  UpdateState();
  m_command->setFocus();
}

void CStoryBar::ShowUnplayable(const QString& reason) {
  Stop();
  m_session.reset();
  ShowStatus();
  m_text->setPlainText(reason);
  UpdateState();
}

void CStoryBar::Restart() {
  if (m_storyPath.isEmpty()) return;
  PlayOptions options = m_options;
  options.seed = m_seed->value();
  Play(m_storyPath, options);
}

void CStoryBar::Stop() {
  if (m_session) m_session->Stop();
}

void CStoryBar::ReplayTo(int index) {
  if (m_storyPath.isEmpty() || index < 0 || index >= static_cast<int>(m_commands.size())) return;
  const std::vector<std::string> commands = m_commands;
  Play(m_storyPath, m_options, commands, static_cast<size_t>(index));
}

void CStoryBar::SendCommand() {
  const std::string command = m_command->text().trimmed().toStdString();
  // An empty command cannot be kept in a walkthrough, so it is not sent either.
  if (command.empty() || !IsPlaying()) return;
  m_command->clear();
  m_history.removeAll(QString::fromStdString(command));
  m_history << QString::fromStdString(command);
  m_historyIndex = static_cast<int>(m_history.size());
  m_commands.push_back(command);
  m_commandList->addItem(QString::fromStdString(command));
  m_commandList->scrollToBottom();
  m_session->Send(command);
  UpdateState();
}

void CStoryBar::OnLines(const std::vector<CLineTypedReader::Line>& lines) {
  if (!m_transcriptCut) {
    m_transcript.Add(lines, m_commands);
    m_transcriptCut = m_transcript.Bytes() > static_cast<size_t>(MAX_TRANSCRIPT_BYTES);
  }
  for (const CLineTypedReader::Line& line : lines) {
    QString text = QString::fromStdString(line.text);
    if (line.input) {
      const size_t command = m_inputsShown++;
      text = QString::fromStdString(PromptLine(line.text, command < m_commands.size() ? m_commands[command] : ""));
    }
    // A replay shows only the output of its last command onwards.
    if (m_inputsShown >= m_silentInputs) m_shownQueue << text;
  }
  // Only the newest lines can stay in the text; the rest need not be laid out at all.
  if (m_shownQueue.size() > MAX_SHOWN_LINES) m_shownQueue.erase(m_shownQueue.begin(), m_shownQueue.end() - MAX_SHOWN_LINES);
  if (!m_showTimer.isActive()) m_showTimer.start();
}

void CStoryBar::ShowStatus() {
  const QString status = m_session ? m_session->StatusLine() : QString();
  m_status->setText(status);
  m_status->setVisible(!status.isEmpty());
}

void CStoryBar::ShowPending() {
  if (!m_showTimer.isActive()) m_showTimer.start();
}

void CStoryBar::FlushShown() {
  m_showTimer.stop();
  const QString pending = m_session && m_inputsShown >= m_silentInputs
                              ? QString::fromStdString(std::string(m_session->Pending())) : QString();
  if (m_shownQueue.isEmpty() && pending == m_shownPending) return;
  QTextCursor cursor(m_text->document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  QString text = m_shownQueue.join('\n');
  if (!m_shownQueue.isEmpty()) text += '\n';
  cursor.insertText(text + pending); // replaces the part line shown before
  m_shownQueue.clear();
  m_shownPending = pending;
  m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

void CStoryBar::UpdateState() {
  const bool playing = IsPlaying();
  m_stop->setEnabled(playing);
  m_restart->setEnabled(!m_storyPath.isEmpty());
  m_replay->setEnabled(!m_storyPath.isEmpty() && m_commandList->currentRow() >= 0);
  m_save->setEnabled(!m_commands.empty());
  m_command->setEnabled(playing);
  QString state;
  if (m_storyPath.isEmpty()) {
    state = tr("No story: Build > Play (Ctrl+F6) plays the active document's.");
  } else {
    const PlayEngine engine = m_session ? m_session->Engine() : PlayEngine();
    // Said when emglken was wanted but cannot run, so that a missing status line is explained.
    const QString by = engine.why.isEmpty() ? engine.Name() : tr("%1 (%2)").arg(engine.Name(), engine.why);
    state = tr("%1 in %2, seed %3, width %4: %5")
                .arg(QFileInfo(m_storyPath).fileName(), by)
                .arg(m_options.seed)
                .arg(m_options.width)
                .arg(playing ? tr("%n command(s) played", "", static_cast<int>(m_commands.size()))
                             : (m_session && !m_session->EndReason().isEmpty() ? m_session->EndReason() : tr("ended")));
  }
  m_state->setText(state);
}

void CStoryBar::WalkHistory(int step) {
  if (m_history.isEmpty()) return;
  m_historyIndex = std::clamp(m_historyIndex + step, 0, static_cast<int>(m_history.size()));
  m_command->setText(m_historyIndex < m_history.size() ? m_history[m_historyIndex] : QString());
}

bool CStoryBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_command && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      WalkHistory(key == Qt::Key_Up ? -1 : 1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
