#pragma once
// Shared by the build tests: a sink that keeps its text, and files and scripts in temp dirs.
#include <csignal>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include "output_sink.h"

struct CCaptureSink : COutputSink {
  void AppendText(const QByteArray& text) override { m_text += text; }
  QByteArray m_text;
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

// Whether process pid has ended, waiting up to 10 s for a kill to take effect. A zombie counts
// as ended: an orphan is reaped by whatever the system's first process is, maybe never.
inline bool ProcessGone(pid_t pid) {
  if (pid <= 0) return false;
  const QDeadlineTimer patience(10000);
  do {
    if (::kill(pid, 0) != 0) return errno == ESRCH;
    const QByteArray stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype end = stat.lastIndexOf(')'); // the name may hold blanks and brackets
    if (end >= 0 && stat.mid(end + 2, 1) == "Z") return true;
    QThread::msleep(10);
  } while (!patience.hasExpired());
  return false;
}
