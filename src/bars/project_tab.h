#pragma once
#include <functional>

#include <QListWidget>
#include <QStringList>

// The object bar's "Project" tab: the open project's files, the main file first and marked,
// the others in the project's order. A double click or Enter opens the file. Without a
// project the list says so.
class CProjectTab : public QListWidget {
  Q_OBJECT

public:
  static constexpr const char* MAIN_MARK = " (main file)";
  static constexpr const char* NO_PROJECT = "No project is open.";

  explicit CProjectTab(QWidget* parent = nullptr);

  // files: absolute paths; shown relative to folder (the project file's), as far as they lie
  // below it. Empty files: no project.
  void SetFiles(const QStringList& files, const QString& mainFile, const QString& folder);
  // Opens a file of the list (tests and the window set it).
  void SetOpener(std::function<void(const QString& path)> opener) { m_opener = std::move(opener); }
  // The absolute path of row; empty for the "no project" row.
  QString PathAt(int row) const;

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void OpenRow(int row);

  std::function<void(const QString& path)> m_opener;
};
