#include "command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>

void DeclareCommandLineOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Torvane, an IDE for Inform 6: edit, browse, compile and run Inform "
                     "sources.\nA file that does not exist yet opens empty; Save creates it."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("files"),
                               QStringLiteral("Inform sources (.inf) and headers (.h) to open."),
                               QStringLiteral("[FILE...]"));
  // Qt's own options (QApplication takes them out of the arguments after this parse).
  for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                           "qwindowgeometry", "qwindowtitle", "qwindowicon", "display",
                           "geometry", "style", "stylesheet", "session"}) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  parser.addOption({QStringLiteral("print"),
                    QStringLiteral("Print the files on the default printer, without a window.")});
  parser.addOption({QStringLiteral("print-to-pdf"),
                    QStringLiteral("Print the file into the PDF file <OUT.pdf> as Print would "
                                   "print it, without a window."),
                    QStringLiteral("OUT.pdf")});
}

CommandLineRequest ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  // "-platform offscreen" is one option, as Qt's own options are written.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  DeclareCommandLineOptions(parser);
  CommandLineRequest request;
  const QString program = arguments.isEmpty() ? QStringLiteral("torvane") : arguments.first();
  if (!parser.parse(arguments)) {
    request.action = CommandLineRequest::Action::Error;
    request.text = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, parser.errorText());
    return request;
  }
  if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
    request.action = CommandLineRequest::Action::Print;
    // The usage line names the program as it was called, without its folder.
    request.text = parser.helpText();
    const qsizetype options = request.text.indexOf(QStringLiteral(" [options]"));
    if (request.text.startsWith(QStringLiteral("Usage: ")) && options > 0)
      request.text.replace(7, options - 7, QFileInfo(program).fileName());
    return request;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    request.action = CommandLineRequest::Action::Print;
    request.text = QStringLiteral("Torvane %1\n").arg(QString::fromLatin1(TORVANE_VERSION));
    return request;
  }
  for (const QString& file : parser.positionalArguments()) {
    if (file == QLatin1String("-")) {
      request.action = CommandLineRequest::Action::Error;
      request.text = QStringLiteral("%1: cannot read a source from standard input ('-'); name "
                                    "a file.\n").arg(program);
      return request;
    }
    request.files << file;
  }
  const bool print = parser.isSet(QStringLiteral("print"));
  const bool toPdf = parser.isSet(QStringLiteral("print-to-pdf"));
  if (!print && !toPdf) return request;
  auto error = [&](const QString& why) {
    request.action = CommandLineRequest::Action::Error;
    request.text = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, why);
    return request;
  };
  if (print && toPdf) return error(QStringLiteral("--print and --print-to-pdf exclude each other."));
  if (request.files.isEmpty())
    return error(QStringLiteral("%1 needs a file to print.")
                     .arg(print ? QStringLiteral("--print") : QStringLiteral("--print-to-pdf")));
  if (toPdf && parser.value(QStringLiteral("print-to-pdf")).isEmpty())
    return error(QStringLiteral("--print-to-pdf needs the name of the PDF to write."));
  if (toPdf && request.files.size() > 1)
    return error(QStringLiteral("--print-to-pdf prints one file into the PDF; %1 were given.")
                     .arg(request.files.size()));
  request.action = CommandLineRequest::Action::PrintFiles;
  if (toPdf) request.pdfPath = parser.value(QStringLiteral("print-to-pdf"));
  return request;
}
