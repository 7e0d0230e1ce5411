#pragma once
// Shared by the build tests: a sink that keeps its text, and files and scripts in temp dirs.
#include <csignal>

#include <QDateTime>
#include <QFile>

#include "output_sink.h"

struct CCaptureSink : COutputSink {
  void AppendText(const QByteArray& text) override { m_text += text, ++m_appends; }
  QByteArray m_text;
  int m_appends = 0;
};

inline bool WriteFile(const QString& path, const QByteArray& content, bool executable = false) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
    return false;
  return !executable || file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
}
inline bool WriteScript(const QString& path, const QByteArray& body) {
  return WriteFile(path, "#!/bin/sh\n" + body + "\n", true);
}
inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
// Sets a file's last-write time (seconds and milliseconds since the epoch).
inline bool SetWriteTime(const QString& path, qint64 seconds, int milliseconds = 0) {
  QFile file(path);
  return file.open(QIODevice::ReadWrite | QIODevice::Append) &&
         file.setFileTime(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + milliseconds),
                          QFileDevice::FileModificationTime);
}

// Whether process pid has ended (and been reaped: the redirector waits for its child).
inline bool ProcessGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }
