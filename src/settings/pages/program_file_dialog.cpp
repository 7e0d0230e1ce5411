#include "program_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

ProgramFileDialogFunction& ProgramFileDialog() {
  static ProgramFileDialogFunction function;
  return function;
}

const QString EXECUTABLE_FILTER = QStringLiteral("Executable Files (*)");
const QString ALL_FILTER = QStringLiteral("All Files (*)");

QString ShowDialog(QWidget* parent, const QString& title, const QString& startPath) {
  QFileDialog dialog(parent, title);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's own dialog: the executable filter below works only there.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setNameFilters({EXECUTABLE_FILTER, ALL_FILTER});
  const QDir::Filters folders = QDir::AllDirs | QDir::NoDot;
  dialog.setFilter(folders | QDir::Files | QDir::Executable);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, folders](const QString& filter) {
                     dialog.setFilter(filter == EXECUTABLE_FILTER
                                          ? folders | QDir::Files | QDir::Executable
                                          : folders | QDir::Files | QDir::Hidden);
                   });
  const QFileInfo start(startPath);
  if (!startPath.isEmpty() && start.isDir()) {
    dialog.setDirectory(start.absoluteFilePath());
  } else if (!startPath.isEmpty() && start.exists()) {
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

} // namespace

ProgramFileDialogFunction SetProgramFileDialogFunction(ProgramFileDialogFunction function) {
  ProgramFileDialogFunction before = std::move(ProgramFileDialog());
  ProgramFileDialog() = std::move(function);
  return before;
}

QString ChooseProgramFile(QWidget* parent, const QString& title, const QString& startPath) {
  if (ProgramFileDialog()) return ProgramFileDialog()(parent, title, startPath);
  return ShowDialog(parent, title, startPath);
}
