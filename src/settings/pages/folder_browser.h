#pragma once
#include <functional>

#include <QString>

class QWidget;

// Asks the user for a folder; returns its path, or an empty text when the user cancelled.
using FolderDialogFunction =
    std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;

// Replaces the folder dialog (tests answer it); an empty function restores
// QFileDialog::getExistingDirectory. Returns the function in force before.
FolderDialogFunction SetFolderDialogFunction(FolderDialogFunction function);

// A folder chooser with a title, in the manner of the shell's folder browser: BrowseForFolder
// gives 1 when the user chose a folder (then Folder() is its path) and 0 otherwise.
class CFolderBrowser {
public:
  explicit CFolderBrowser(QString title) : m_title(std::move(title)) {}

  // startFolder, when it exists, is where the dialog opens.
  int BrowseForFolder(QWidget* owner, const QString& startFolder = QString());
  const QString& Folder() const { return m_folder; }

private:
  QString m_title;
  QString m_folder;
};
