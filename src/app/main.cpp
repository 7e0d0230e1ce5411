// torvane: the IDE.
#include <QApplication>
#include <cstdio>

#include "command_line.h"
#include "torvane_app.h"

int main(int argc, char** argv) {
  QCoreApplication::setOrganizationName(QStringLiteral("Quenmark Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Torvane"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(TORVANE_VERSION));

  // The command line is read before the window system is opened: --help, --version and
  // errors need no display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLineRequest request = ParseCommandLine(arguments);
  if (request.action != CommandLineRequest::Action::Run) {
    const QByteArray text = request.text.toLocal8Bit();
    std::FILE* stream = request.action == CommandLineRequest::Action::Print ? stdout : stderr;
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
    return request.action == CommandLineRequest::Action::Print ? 0 : 2;
  }

  QApplication app(argc, argv);
  CTorvaneApp torvane;
  if (!torvane.InitInstance(request.files)) return 1;
  return QApplication::exec();
}
