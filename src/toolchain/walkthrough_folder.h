#pragma once
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "walkthrough_commands.h"

class CTranscriptNormaliser;

// The walkthroughs of a game live in "walkthroughs/" beside its main file: NAME.cmd (the
// commands), NAME.expected (the accepted transcript) and ignore.txt (patterns of lines that
// change by nature, see CTranscriptNormaliser).
inline constexpr const char* WALKTHROUGH_FOLDER = "walkthroughs";
inline constexpr const char* IGNORE_FILE = "ignore.txt";

// Files larger than these are refused rather than read: a command file is typed by hand, and
// a transcript this long is a runaway story, not a test.
inline constexpr qint64 MAX_COMMAND_FILE_BYTES = 1024 * 1024;
inline constexpr qint64 MAX_TRANSCRIPT_BYTES = 16 * 1024 * 1024;

QString WalkthroughFolder(const QString& mainFile);
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
