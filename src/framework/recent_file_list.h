#pragma once
#include <QString>
#include <QStringList>

// How many files the File menu remembers.
inline constexpr int RECENT_FILE_COUNT = 4;

// The recent-file list of the File menu: the most recent first, each path once, at most
// Size() entries.
class CRecentFileList {
public:
  explicit CRecentFileList(int size = RECENT_FILE_COUNT) : m_size(size) {}

  int Size() const { return m_size; }
  const QStringList& Paths() const { return m_paths; }
  // path moves to (or enters at) the front; the oldest falls off the end.
  void Add(const QString& path);
  void Remove(int index);
  void SetPaths(const QStringList& paths);

  // The menu text of entry index: "&1 " and the path (a path in the current directory by
  // its file name), "&" doubled so that it shows.
  QString MenuText(int index) const;

private:
  int m_size;
  QStringList m_paths;
};
