#include "folder_browser.h"

#include <QFileDialog>

namespace {

FolderDialogFunction& FolderDialog() {
  static FolderDialogFunction function;
  return function;
}

} // namespace

FolderDialogFunction SetFolderDialogFunction(FolderDialogFunction function) {
  FolderDialogFunction before = std::move(FolderDialog());
  FolderDialog() = std::move(function);
  return before;
}

int CFolderBrowser::BrowseForFolder(QWidget* owner, const QString& startFolder) {
  const QString chosen = FolderDialog()
                             ? FolderDialog()(owner, m_title, startFolder)
                             : QFileDialog::getExistingDirectory(owner, m_title, startFolder);
  if (chosen.isEmpty()) return 0;
  m_folder = chosen;
  return 1;
}
