#pragma once
#include <functional>
#include <optional>

#include <QObject>
#include <QPointer>

#include "difference_view.h"
#include "walkthrough_check.h"

struct CCmdUIState;
struct ProjectFile;
class CDocManager;

class CStoryBar;
class CTorvaneDoc;
class CWalkthroughBar;
class QDockWidget;
class QMainWindow;

// Playing and testing the active game: the Story and Walkthroughs bars, Build > Play (build
// when out of date, then play from the start), Build > Run Walkthroughs (also after every
// compile that rewrote the story, when asked), Save as Walkthrough, and the difference view
// of a failed walkthrough with Bless and Play from Here.
class CPlayController : public QObject {
  Q_OBJECT
public:
  static constexpr int ID_STORY_BAR = 32850;      // the View menu's toggles
  static constexpr int ID_WALKTHROUGH_BAR = 32851;

  explicit CPlayController(QMainWindow& frame);
  ~CPlayController() override;
  void SetDocManager(CDocManager* manager) { m_docManager = manager; }
  // The open project (null: none): a member's story and walkthroughs are the project's.
  void SetProjectSource(std::function<const ProjectFile*()> project) { m_project = std::move(project); }

  bool OnCmdMsg(int id);
  bool OnUpdateCmdUI(int id, CCmdUIState& state);
  // A compile started or ended: after one that rewrote the story, the walkthroughs run when
  // "Run Walkthroughs after Compile" is on.
  void BuildStateChanged(bool running);

  void Play();
  void RunWalkthroughs(bool build = true);
  void SaveAsWalkthrough();
  void ShowDifference(const QString& name);

  QDockWidget* StoryDock() const { return m_storyDock; }
  QDockWidget* WalkthroughDock() const { return m_walkthroughDock; }
  CStoryBar* Story() const { return m_story; }
  CWalkthroughBar* Walkthroughs() const { return m_walkthroughs; }
  CWalkthroughCheck& Check() { return m_check; }
  CDifferenceView* Difference() const { return m_difference; }

private:
  CTorvaneDoc* ActiveSource() const;
  // The open project when path is one of its members; else null.
  const ProjectFile* ProjectOf(const QString& path) const;
  QString WalkthroughFolderOf(const QString& path) const;
  // The outcome in the bar, and its result kept beside the walkthrough for the next start.
  void Record(const WalkthroughOutcome& outcome);
  // The story of the active source, built first when missing or older than the source;
  // empty (after saying why in the Story bar) when there is none.
  QString BuildStory(bool build);
  void PlayFrom(const std::vector<std::string>& commands, int command, const WalkthroughCommands& settings);

  QMainWindow& m_frame;
  CDocManager* m_docManager = nullptr;
  std::function<const ProjectFile*()> m_project;
  QDockWidget* m_storyDock;
  QDockWidget* m_walkthroughDock;
  CStoryBar* m_story;
  CWalkthroughBar* m_walkthroughs;
  CWalkthroughCheck m_check;
  QPointer<CDifferenceView> m_difference;
  QString m_checkedStory;          // the story the running check replays
  bool m_differenceShown = false;  // this run has opened its first failure
  std::optional<qint64> m_storyTimeAtBuild;
  QString m_storyAtBuild;
  bool m_seedChosen = false;
};
