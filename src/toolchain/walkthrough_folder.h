#pragma once
#include <map>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "walkthrough_commands.h"

class CTranscriptNormaliser;
struct ProjectFile;

// The walkthroughs of a game live in "walkthroughs/" beside its main file: NAME.cmd (the
// commands), NAME.expected (the accepted transcript) and ignore.txt (patterns of lines that
// change by nature, see CTranscriptNormaliser).
inline constexpr const char* WALKTHROUGH_FOLDER = "walkthroughs";
inline constexpr const char* IGNORE_FILE = "ignore.txt";
// The last result of each walkthrough, kept across runs of the program (see
// ReadWalkthroughResults).
inline constexpr const char* RESULTS_FILE = ".results";

// Files larger than these are refused rather than read: a command file is typed by hand, and
// a transcript this long is a runaway story, not a test.
inline constexpr qint64 MAX_COMMAND_FILE_BYTES = 1024 * 1024;
inline constexpr qint64 MAX_TRANSCRIPT_BYTES = 16 * 1024 * 1024;

QString WalkthroughFolder(const QString& mainFile);
// The walkthroughs of the game source belongs to: a project's beside its project file, when
// source is one of its members or the project file itself; else beside source.
QString WalkthroughFolderFor(const QString& source, const ProjectFile* project);
// The names (without .cmd) in name order.
QStringList ListWalkthroughs(const QString& folder);

bool ReadWalkthroughCommands(const QString& folder, const QString& name, WalkthroughCommands& out,
                             QString& error);
// exists is false (and the result true) when there is no NAME.expected yet.
bool ReadExpectedTranscript(const QString& folder, const QString& name,
                            std::vector<std::string>& lines, bool& exists, QString& error);
// Reads ignore.txt into normaliser; no file is no pattern.
bool ReadIgnorePatterns(const QString& folder, CTranscriptNormaliser& normaliser, QString& error);

// Bless: the transcript becomes NAME.expected (written whole to a new file, then put in place).
bool WriteExpectedTranscript(const QString& folder, const QString& name, const std::string& text,
                             QString& error);
// Save as walkthrough: NAME.cmd and NAME.expected. Refuses a name that is not a plain file
// name and, unless replace is set, a walkthrough that exists already.
bool SaveWalkthrough(const QString& folder, const QString& name, const WalkthroughCommands& commands,
                     const std::string& transcript, bool replace, QString& error);
bool WalkthroughExists(const QString& folder, const QString& name);

// The last result of a walkthrough: passed, or failed and why ("" for a plain difference).
struct KeptWalkthroughResult {
  bool passed = false;
  QString problem;
};
// The results kept in folder's RESULTS_FILE, by name, of the walkthroughs whose NAME.cmd and
// NAME.expected are still what they were when the result was kept: a new or changed
// walkthrough has none (it has never run as it stands).
std::map<QString, KeptWalkthroughResult> ReadWalkthroughResults(const QString& folder);
// Keeps name's result for its files as they are now, replacing the one kept before. False with
// error when the file cannot be written (the results are then only those of this run).
bool KeepWalkthroughResult(const QString& folder, const QString& name, const KeptWalkthroughResult& result,
                           QString& error);
