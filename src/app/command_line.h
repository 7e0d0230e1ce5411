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
    PrintFiles, // print files, without a window, on the default printer or into pdfPath
  };
  Action action = Action::Run;
  QStringList files; // every argument that is not an option: a file to open
  QString text;
  QString pdfPath; // PrintFiles: the PDF to write; empty: the default printer
};

// The version the program reports.
inline constexpr const char* TORVANE_VERSION = "0.60a";

// Declares the program's options on parser: --help, --version, --print and --print-to-pdf.
void DeclareCommandLineOptions(QCommandLineParser& parser);

// Parses arguments (the program name first). "-" (standard input) and unknown options are
// errors; so are --print without a file, --print-to-pdf with other than one file, and the
// two together.
CommandLineRequest ParseCommandLine(const QStringList& arguments);
