#include "program_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

ProgramFileDialogFunction& ProgramFileDialog() {
  static ProgramFileDialogFunction function;
  return function;
}

const QString EXECUTABLE_FILTER = QStringLiteral("Executable Files (*)");
const QString ALL_FILTER = QStringLiteral("All Files (*)");

// Hides the files the user may not run while "Executable Files" is chosen; folders stay, so
// the user can move around. (The file model's own permission filter cannot say "executable
// only".)
class CExecutableFilter : public QSortFilterProxyModel {
public:
  void SetExecutablesOnly(bool only) {
    m_executablesOnly = only;
    invalidateFilter();
  }

protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
    const QModelIndex index = files->index(row, 0, parent);
    return !m_executablesOnly || files->isDir(index) ||
           QFileInfo(files->filePath(index)).isExecutable();
  }

private:
  bool m_executablesOnly = true;
};

QString ShowDialog(QWidget* parent, const QString& title, const QString& startPath) {
  QFileDialog dialog(parent, title);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's own dialog: only it takes a filter model.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  auto* filter = new CExecutableFilter;
  dialog.setProxyModel(filter);
  dialog.setNameFilters({EXECUTABLE_FILTER, ALL_FILTER});
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [filter](const QString& name) {
    filter->SetExecutablesOnly(name == EXECUTABLE_FILTER);
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
