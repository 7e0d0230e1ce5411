// torvane: the IDE.
#include <QApplication>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "application_icon.h"
#include "command_line.h"
#include "file_name.h"
#include "print_file.h"
#include "torvane_app.h"

namespace {

// Printing from the command line needs no display: without one (a terminal on a server, a
// scheduled job) it draws off screen instead of failing to start. With a display the
// screen's resolution sizes the printer font, as it does for Print in the window.
void UseOffscreenWithoutDisplay(const QStringList& arguments) {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (!qEnvironmentVariableIsEmpty(name)) return;
  if (arguments.contains(QStringLiteral("-platform")) ||
      arguments.contains(QStringLiteral("--platform")))
    return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
}

// --print and --print-to-pdf: each failure on standard error, the status of the whole.
int PrintFromCommandLine(int argc, char** argv, const QStringList& arguments,
                         const CommandLineRequest& request) {
  UseOffscreenWithoutDisplay(arguments);
  QApplication app(argc, argv);
  const PrintFileOutcome outcome = PrintFiles(request.files, request.pdfPath);
  const QString program = QFileInfo(arguments.value(0)).fileName();
  for (const QString& line : outcome.message.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QByteArray text = FileNameToBytes(QStringLiteral("%1: %2\n").arg(program, line));
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
  }
  return outcome.status;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication::setOrganizationName(QStringLiteral("Quenmark Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Torvane"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(TORVANE_VERSION));

  // The command line is read before the window system is opened: --help, --version and
  // errors need no display.
  // A file name that is not valid UTF-8 keeps its bytes (file_name.h).
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << FileNameFromBytes(QByteArray(argv[i]));
  const CommandLineRequest request = ParseCommandLine(arguments);
  if (request.action == CommandLineRequest::Action::PrintFiles)
    return PrintFromCommandLine(argc, argv, arguments, request);
  if (request.action != CommandLineRequest::Action::Run) {
    const QByteArray text = FileNameToBytes(request.text);
    std::FILE* stream = request.action == CommandLineRequest::Action::Print ? stdout : stderr;
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
    if (request.action != CommandLineRequest::Action::Print) return 2;
    // --help and --version were asked for: they must have arrived (a full disk, a closed pipe).
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "%s: cannot write the output: %s\n",
                 FileNameToBytes(QFileInfo(arguments.value(0)).fileName()).constData(),
                 std::strerror(errno));
    return 1;
  }

  QApplication app(argc, argv);
  InstallApplicationIcon();
  CTorvaneApp torvane;
  if (!torvane.InitInstance(request.files)) return 1;
  return QApplication::exec();
}
