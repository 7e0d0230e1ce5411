#include "file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {

TorvaneFileDialogHandler& CurrentHandler() {
  static TorvaneFileDialogHandler handler;
  return handler;
}

FileDialogAnswer ShowRealDialog(const FileDialogRequest& request, QWidget* parent) {
  QFileDialog dialog(parent, request.title);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(QtFileFilter(request.filter).split(QStringLiteral(";;")));
  // Qt adds the suffix itself only while the "All Files" entry is not chosen; the answer
  // below adds it in every case.
  if (!request.initialPath.isEmpty()) dialog.selectFile(request.initialPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  FileDialogAnswer answer;
  answer.path = dialog.selectedFiles().constFirst();
  answer.selectedFilter = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
  return answer;
}

} // namespace

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // "*.*" is the program's way of saying every file; Qt's is "*".
    QString patterns = parts[i + 1];
    patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // A name that shows its patterns already ("Inform Files (*.inf)") shows the ones Qt
    // filters by instead, not a second copy.
    QString name = parts[i];
    const qsizetype open = name.lastIndexOf(QStringLiteral(" ("));
    if (open > 0 && name.endsWith(QLatin1Char(')'))) name.truncate(open);
    entries << QStringLiteral("%1 (%2)").arg(name, patterns);
  }
  return entries.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
  if (path.isEmpty() || extension.isEmpty()) return path;
  const QString name = QFileInfo(path).fileName();
  // A leading "." names a hidden file, not an extension.
  if (name.lastIndexOf(QLatin1Char('.')) > 0) return path;
  return path + QLatin1Char('.') + extension;
}

FileDialogAnswer TorvaneFileDialog(const FileDialogRequest& request, QWidget* parent) {
  TorvaneFileDialogHandler handler = CurrentHandler();
  FileDialogAnswer answer = handler ? handler(request) : ShowRealDialog(request, parent);
  if (request.save) answer.path = WithDefaultExtension(answer.path, request.defaultExtension);
  return answer;
}

TorvaneFileDialogHandler SetTorvaneFileDialogHandler(TorvaneFileDialogHandler handler) {
  TorvaneFileDialogHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  return previous;
}
