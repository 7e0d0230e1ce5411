#pragma once
#include <optional>

#include <QString>
#include <QStringList>

#include "lifetime_guard.h"

struct ProjectFile;

// Texts of the Run command.
// Follows the story file's path.
inline constexpr const char* TEXT_STORY_MISSING = " does not exist.\nDo you want to build it?";
inline constexpr const char* TEXT_OUT_OF_DATE_HEAD = "The following files are out of date:\n";
inline constexpr const char* TEXT_OUT_OF_DATE_INDENT = "       ";
inline constexpr const char* TEXT_OUT_OF_DATE_TAIL = "\n\nDo you wish to recompile?";
inline constexpr const char* TEXT_NO_INTERPRETER_PATH =
    "You have not set your interpreter path.  See View->Options";
inline constexpr const char* TEXT_NO_GLULX_INTERPRETER_PATH =
    "You have not set your Glulx interpreter path.  See View->Options";
inline constexpr const char* TEXT_INTERPRETER_NOT_STARTED = "The interpreter could not be started:\n";

// Last-write time of a file in whole seconds since the epoch; nothing when it does not exist.
std::optional<qint64> LastWriteSeconds(const QString& path);

// A story older than its source by whole seconds: the same second counts as up to date, and
// so does a story or source that is not on disk (a deleted source cannot make it stale).
bool IsStoryOutOfDate(std::optional<qint64> storyTime, std::optional<qint64> sourceTime);

// The story file a build of a source writes (its effective target's extension) and whether
// it is older than the main file or, in project, any project file.
struct StoryCheck {
  QString storyPath;               // empty: the story file is not there
  std::optional<qint64> storyTime; // whole seconds
  std::optional<qint64> sourceTime;
  // Strictly earlier than the source; the same second counts as up to date.
  bool outOfDate = false;
};
// settingsFile: the store to read the settings from; empty = the user's store.
StoryCheck CheckStoryFile(const QString& sourcePath, const QString& settingsFile = QString(),
                          const ProjectFile* project = nullptr);

// The interpreter launch: the setting split into program and arguments (an existing file
// named by the whole setting is the program even when its path holds blanks), then the story
// path as one more argument. False when the setting names no program.
bool ComposeInterpreterLaunch(const QString& interpreterSetting, const QString& storyPath,
                              QString& program, QStringList& arguments);

enum class RunAnswer { Yes, No, Cancel };

// What Run needs from the document that runs it. Compile returns only when the compiler has
// ended; it and the questions may pump events, so the document may be gone afterwards: Run
// notices that through the host's lifetime and stops.
class CRunHost {
public:
  CRunHost();
  virtual ~CRunHost();

  virtual bool IsModified() const = 0;
  virtual void SaveDocument(const QString& path) = 0;
  virtual void Compile() = 0;
  // A yes/no/cancel question.
  virtual RunAnswer AskYesNoCancel(const QString& text) = 0;
  // A message with an OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // Starts the interpreter on its own, not waiting for it (default: QProcess::startDetached).
  virtual bool StartInterpreter(const QString& program, const QStringList& arguments);
  // The open project: a source among its files runs the project's story (default: none).
  virtual const ProjectFile* Project() const { return nullptr; }

  // Tells whether this host has been destroyed since.
  CLifetimeGuard::CWatch Lifetime() const { return m_lifetime.Watch(); }

private:
  CLifetimeGuard m_lifetime;
};

// How a Run ended.
enum class RunOutcome {
  Launched,          // the interpreter was started
  NoSourcePath,      // the document has never been saved
  Declined,          // the user answered No or Cancel to building, or Cancel to rebuilding
  NoStory,           // still no story file after building
  NotRewritten,      // the rebuild did not write the story file again (or removed it)
  NoInterpreter,     // no interpreter path set
  InterpreterFailed, // the interpreter did not start
  HostGone,          // the document went away while Run waited
};

// The Run command of a source document: save if modified, find the story file the build
// writes (PlanBuild: the main file and its effective target; never a story of another
// extension), offer to build a missing one or one older than the main file or any project
// file, then start the interpreter for its kind (Z-code or Glulx) on it.
class CRunCommand {
public:
  // settingsFile: the store to read the interpreter path from; empty = the user's store.
  explicit CRunCommand(CRunHost& host, const QString& settingsFile = QString());

  RunOutcome Run(const QString& sourcePath);

private:
  CRunHost& m_host;
  QString m_settingsFile;
};
