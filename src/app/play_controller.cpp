#include "play_controller.h"

#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>

#include "cmd_target.h"
#include "command_ids.h"
#include "difference_view.h"
#include "doc_manager.h"
#include "file_dialog.h"
#include "message_box.h"
#include "play_settings.h"
#include "profile_store.h"
#include "project_file.h"
#include "redirector.h"
#include "run_command.h"
#include "story_bar.h"
#include "torvane_doc.h"
#include "walkthrough_bar.h"
#include "walkthrough_folder.h"


CPlayController::CPlayController(QMainWindow& frame) : QObject(&frame), m_frame(frame) {
  m_storyDock = new QDockWidget(tr("Story"), &frame);
  m_storyDock->setObjectName(QString::number(ID_STORY_BAR));
  m_story = new CStoryBar(m_storyDock);
  m_storyDock->setWidget(m_story);
  m_walkthroughDock = new QDockWidget(tr("Walkthroughs"), &frame);
  m_walkthroughDock->setObjectName(QString::number(ID_WALKTHROUGH_BAR));
  m_walkthroughs = new CWalkthroughBar(m_walkthroughDock);
  m_walkthroughDock->setWidget(m_walkthroughs);
  // Shown when asked for; a saved layout brings them back where they were.
  for (QDockWidget* dock : {m_storyDock, m_walkthroughDock}) {
    dock->setAllowedAreas(Qt::AllDockWidgetAreas);
    frame.addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
  }
  connect(m_story, &CStoryBar::saveAsWalkthroughRequested, this, &CPlayController::SaveAsWalkthrough);
  connect(m_walkthroughs, &CWalkthroughBar::runRequested, this, [this] { RunWalkthroughs(); });
  connect(m_walkthroughs, &CWalkthroughBar::differenceRequested, this, &CPlayController::ShowDifference);
  connect(&m_check, &CWalkthroughCheck::Checked, this, [this](const WalkthroughOutcome& outcome) {
    Record(outcome);
    if (outcome.state == WalkthroughOutcome::Failed && !m_differenceShown) {
      m_differenceShown = true;
      ShowDifference(outcome.name);
    }
  });
  connect(&m_check, &CWalkthroughCheck::AllChecked, this, [this] { m_walkthroughs->SetRunning(false); });
}

CPlayController::~CPlayController() = default;

CTorvaneDoc* CPlayController::ActiveSource() const {
  return m_docManager ? dynamic_cast<CTorvaneDoc*>(m_docManager->ActiveDocument()) : nullptr;
}

const ProjectFile* CPlayController::ProjectOf(const QString& path) const {
  const ProjectFile* project = m_project ? m_project() : nullptr;
  return project && !path.isEmpty() &&
                 project->Contains(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString())
             ? project
             : nullptr;
}

QString CPlayController::WalkthroughFolderOf(const QString& path) const {
  return WalkthroughFolderFor(path, ProjectOf(path));
}

void CPlayController::Record(const WalkthroughOutcome& outcome) {
  m_walkthroughs->Record(outcome);
  // Only a convenience for the next start: a folder that cannot be written keeps this run's
  // states in the bar all the same.
  QString ignored;
  KeepWalkthroughResult(m_walkthroughs->Folder(), outcome.name,
                        {outcome.state == WalkthroughOutcome::Passed, outcome.problem}, ignored);
}

QString CPlayController::BuildStory(bool build) {
  QPointer<CTorvaneDoc> document = ActiveSource();
  if (!document) {
    m_story->ShowUnplayable(tr("No story: open the game's main file first."));
    return QString();
  }
  StoryCheck check = CheckStoryFile(document->GetPathName(), QString(), ProjectOf(document->GetPathName()));
  if (build && (document->GetPathName().isEmpty() || document->IsModified() || check.storyPath.isEmpty() || check.outOfDate)) {
    document->OnCompile(); // pumps events: the document may close meanwhile
    if (!document) return QString();
    check = CheckStoryFile(document->GetPathName(), QString(), ProjectOf(document->GetPathName()));
  }
  const QString glulx = GlulxStoryOf(document->GetPathName());
  if (check.storyPath.isEmpty() && !glulx.isEmpty()) {
    const QString reason = UnplayableReason(glulx, ReadPlayOptions(CProfileStore()));
    if (reason.isEmpty()) return glulx;
    m_story->ShowUnplayable(reason);
    return QString();
  }
  if (check.storyPath.isEmpty()) {
    m_story->ShowUnplayable(tr("There is no story file for %1: the build made none (see the Output bar).")
                                .arg(QFileInfo(document->GetPathName()).fileName()));
    return QString();
  }
  return check.storyPath;
}

void CPlayController::Play() {
  if (CRedirector::AnyRunning()) return;
  m_storyDock->show();
  m_storyDock->raise();
  const QString story = BuildStory(true);
  if (story.isEmpty()) return;
  const QString reason = UnplayableReason(story, ReadPlayOptions(CProfileStore()));
  if (!reason.isEmpty()) {
    m_story->ShowUnplayable(reason);
    return;
  }
  PlayOptions options = ReadPlayOptions(CProfileStore());
  if (m_seedChosen) options.seed = m_story->Seed();
  m_seedChosen = true;
  m_story->Play(story, options);
}

void CPlayController::PlayFrom(const std::vector<std::string>& commands, int command,
                               const WalkthroughCommands& settings) {
  const QString story = m_checkedStory.isEmpty() ? BuildStory(false) : m_checkedStory;
  if (story.isEmpty()) return;
  m_storyDock->show();
  m_storyDock->raise();
  const PlayOptions options = OptionsFor(settings, ReadPlayOptions(CProfileStore()));
  m_story->Play(story, options, commands, static_cast<size_t>(std::max(command - 1, 0)));
}

void CPlayController::RunWalkthroughs(bool build) {
  if (m_check.IsRunning() || CRedirector::AnyRunning()) return;
  CTorvaneDoc* document = ActiveSource();
  if (!document || document->GetPathName().isEmpty()) return;
  const QString folder = WalkthroughFolderOf(document->GetPathName());
  m_walkthroughDock->show();
  m_walkthroughDock->raise();
  m_walkthroughs->SetFolder(folder);
  const QString story = BuildStory(build);
  if (story.isEmpty()) return;
  m_checkedStory = story;
  m_differenceShown = false;
  m_walkthroughs->SetRunning(true);
  m_check.Start(folder, ListWalkthroughs(folder), story, ReadPlayOptions(CProfileStore()));
}

void CPlayController::SaveAsWalkthrough() {
  CTorvaneDoc* document = ActiveSource();
  if (m_story->Commands().empty()) return;
  if (m_story->TranscriptCut()) {
    TorvaneMessageBox(tr("The story wrote more than %1 MB; a walkthrough of it cannot be kept. Restart and play a shorter one.")
                          .arg(MAX_TRANSCRIPT_BYTES / (1024 * 1024)), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const QString folder = document && !document->GetPathName().isEmpty()
                             ? WalkthroughFolderOf(document->GetPathName())
                             : WalkthroughFolder(m_story->StoryPath());
  FileDialogRequest request;
  request.save = true;
  request.title = tr("Save as Walkthrough");
  request.filter = QStringLiteral("Walkthroughs|*.cmd||");
  request.defaultExtension = QStringLiteral("cmd");
  request.initialPath = folder + QStringLiteral("/walkthrough.cmd");
  const FileDialogAnswer answer = TorvaneFileDialog(request, &m_frame);
  if (answer.path.isEmpty()) return;
  const QFileInfo chosen(answer.path);
  const QString name = chosen.completeBaseName(), chosenFolder = chosen.absolutePath();
  bool replace = false;
  if (WalkthroughExists(chosenFolder, name)) {
    if (TorvaneMessageBox(tr("The walkthrough %1 exists already. Replace its commands and its accepted transcript?").arg(name),
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
    replace = true;
  }
  const WalkthroughCommands commands{m_story->Commands(), m_story->Seed(), m_story->Width()};
  QString error;
  if (!SaveWalkthrough(chosenFolder, name, commands, m_story->PlayedTranscript().Text(), replace, error)) {
    TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_walkthroughs->SetFolder(chosenFolder);
  m_walkthroughDock->show();
}

void CPlayController::ShowDifference(const QString& name) {
  const WalkthroughOutcome* outcome = m_walkthroughs->Outcome(name);
  if (!outcome || outcome->state != WalkthroughOutcome::Failed) return;
  if (m_difference) m_difference->close();
  m_difference = new CDifferenceView(m_walkthroughs->Folder(), *outcome, &m_frame);
  m_difference->setAttribute(Qt::WA_DeleteOnClose);
  connect(m_difference, &CDifferenceView::blessed, this, [this](const QString& blessedName) {
    if (const WalkthroughOutcome* old = m_walkthroughs->Outcome(blessedName)) {
      WalkthroughOutcome passed = *old;
      passed.state = WalkthroughOutcome::Passed;
      passed.problem.clear();
      Record(passed);
    }
  });
  const WalkthroughCommands settings = outcome->commands;
  connect(m_difference, &CDifferenceView::playFromHere, this,
          [this, settings](const std::vector<std::string>& commands, int command) { PlayFrom(commands, command, settings); });
  m_difference->show();
}

void CPlayController::BuildStateChanged(bool running) {
  CTorvaneDoc* document = ActiveSource();
  const QString source = document ? document->GetPathName() : QString();
  if (running) {
    m_storyAtBuild = source;
    m_storyTimeAtBuild = CheckStoryFile(source, QString(), ProjectOf(source)).storyTime;
    return;
  }
  if (source.isEmpty() || source != m_storyAtBuild) return;
  if (ReadSetting(CProfileStore(), SETTING_PLAY_AFTER_COMPILE) != 1) return;
  const StoryCheck check = CheckStoryFile(source, QString(), ProjectOf(source));
  // Only a compile that wrote the story again: a failed one leaves the old story behind.
  if (check.storyPath.isEmpty() || check.outOfDate || check.storyTime == m_storyTimeAtBuild) return;
  // Not from inside the compile's own call: the replay starts from the event loop.
  QMetaObject::invokeMethod(this, [this] { RunWalkthroughs(false); }, Qt::QueuedConnection);
}

bool CPlayController::OnCmdMsg(int id) {
  switch (id) {
  case ID_STORY_BAR: m_storyDock->setVisible(m_storyDock->isHidden()); return true;
  case ID_WALKTHROUGH_BAR:
    if (m_walkthroughDock->isHidden() && ActiveSource())
      m_walkthroughs->SetFolder(WalkthroughFolderOf(ActiveSource()->GetPathName()));
    m_walkthroughDock->setVisible(m_walkthroughDock->isHidden());
    return true;
  case Cmd::BUILD_PLAY: Play(); return true;
  case Cmd::BUILD_RUN_WALKTHROUGHS: RunWalkthroughs(); return true;
  case Cmd::WALKTHROUGHS_AFTER_COMPILE: {
    CProfileStore store;
    WriteSetting(store, SETTING_PLAY_AFTER_COMPILE, ReadSetting(store, SETTING_PLAY_AFTER_COMPILE) == 1 ? 0 : 1);
    return true;
  }
  default: return false;
  }
}

bool CPlayController::OnUpdateCmdUI(int id, CCmdUIState& state) {
  switch (id) {
  case ID_STORY_BAR: state.checked = !m_storyDock->isHidden(); return true;
  case ID_WALKTHROUGH_BAR: state.checked = !m_walkthroughDock->isHidden(); return true;
  case Cmd::BUILD_PLAY: state.enabled = ActiveSource() && !CRedirector::AnyRunning(); return true;
  case Cmd::BUILD_RUN_WALKTHROUGHS:
    state.enabled = ActiveSource() && !m_check.IsRunning() && !CRedirector::AnyRunning();
    return true;
  case Cmd::WALKTHROUGHS_AFTER_COMPILE:
    state.checked = ReadSetting(CProfileStore(), SETTING_PLAY_AFTER_COMPILE) == 1;
    return true;
  default: return false;
  }
}
