#pragma once
#include <QString>

#include "cmd_target.h"

class CDocManager;
class CDocument;
class CProjectSession;
class QWidget;

// The Project menu: New Project, Open Project, Add File to Project and Delete File from
// Project, over the one open project, and the toolbar's toggle of its profile (Debug or
// Release), kept in the project file. Opening a project file by any way that opens files
// (File > Open, the command line, the recent files, a drop) opens it as the project.
class CProjectCommands : public CCmdTarget {
public:
  static constexpr const char* PROJECT_FILTER = "Inform Projects|*.i6proj|All Files|*.*||";

  CProjectCommands(CProjectSession& session, CDocManager& documents, QWidget* dialogParent);

  // Whether path names a project file (by its extension ".i6proj").
  static bool IsProjectFile(const QString& path);
  // Makes the project at path the open one and opens its main file, which is returned (null
  // when the project or its main file cannot be opened; the user was told why). The project
  // heads the recent files.
  CDocument* OpenProject(const QString& path);

private:
  void ToggleProfile();
  void NewProject();
  void AskOpenProject();
  void AddFile();
  void DeleteFile();
  // The active document's file, absolute; empty when it has none.
  QString ActiveFile() const;

  CProjectSession& m_session;
  CDocManager& m_documents;
  QWidget* m_dialogParent;
};
