#pragma once
#include <QObject>
#include <QString>
#include <functional>

#include "project_file.h"

// The one open project of the application (or none). Commands change it through Update and
// save it with Save; whoever shows it listens to changed().
class CProjectSession : public QObject {
  Q_OBJECT

public:
  CProjectSession();
  ~CProjectSession() override;

  // Reads the project file at path and makes it the open project (closing the one before).
  // False with error (file and line) when it cannot be read; the open project stays then.
  // Problems of a project that was read (a missing main file, a missing member) are kept in
  // Problems(), so the user can still repair it.
  bool Open(const QString& path, QString* error = nullptr);
  // Writes project to its path (a new project) and opens it.
  bool Create(const ProjectFile& project, QString* error = nullptr);
  // Writes the open project to its file (atomically). False with error; the file is kept.
  bool Save(QString* error = nullptr);
  void Close();

  bool IsOpen() const { return m_open; }
  QString Path() const;
  // The open project; empty when none is open.
  const ProjectFile& Project() const { return m_project; }
  const std::vector<SourceMessage>& Problems() const { return m_problems; }

  // Changes the open project and saves it; changed() follows. False (with error) when
  // nothing is open or the save fails; the change stays in memory then.
  bool Update(const std::function<void(ProjectFile&)>& change, QString* error = nullptr);

  // Whether path (absolute) is a member of the open project.
  bool Contains(const QString& path) const;
  // What Compile and Run build for the source at path: the project's main file when path is
  // a member of the open project, else path itself.
  QString MainFileFor(const QString& path) const;

signals:
  // Opened, closed, or changed.
  void changed();

private:
  bool m_open = false;
  ProjectFile m_project;
  std::vector<SourceMessage> m_problems;
};
