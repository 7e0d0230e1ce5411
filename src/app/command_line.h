#pragma once
#include <QString>
#include <QStringList>

class QCommandLineParser;

// What the program's command line asks for.
struct CommandLineRequest {
  enum class Action {
    Run,      // start the IDE on files
    Print,    // print text to standard output and end with status 0 (--help, --version)
    Error,    // print text to standard error and end with status 2
  };
  Action action = Action::Run;
  QStringList files; // every argument that is not an option: a file to open
  QString text;
};

// The version the program reports.
inline constexpr const char* TORVANE_VERSION = "0.60a";

// Declares the program's options on parser. Options of other parts (printing from the
// command line) are declared here as well, beside --help and --version.
void DeclareCommandLineOptions(QCommandLineParser& parser);

// Parses arguments (the program name first). "-" (standard input) and unknown options are
// errors.
CommandLineRequest ParseCommandLine(const QStringList& arguments);
