#pragma once
#include <QDateTime>
#include <QFileInfo>
#include <QString>

// A file's size and modification time as a document last read or wrote it: another program
// that writes the file changes one of them (or removes the file).
struct CFileStamp {
  bool exists = false;
  qint64 size = -1;
  qint64 modifiedMs = 0;

  static CFileStamp Of(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists()) return {};
    return {true, file.size(), file.lastModified().toMSecsSinceEpoch()};
  }
  bool operator==(const CFileStamp&) const = default;
};
