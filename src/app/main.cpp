// torvane: the IDE. Opens the file named on the command line (or an empty text).
#include <QApplication>

#include "profile_store.h"
#include "single_file_window.h"
#include "style_table.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quenmark Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Torvane"));

  {
    const CProfileStore store;
    TheStyleTable().LoadStyles(store);
  }

  CSingleFileWindow window;
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() > 1) window.OpenFile(arguments.at(1));
  window.show();
  return QApplication::exec();
}
