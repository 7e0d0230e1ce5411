#pragma once
// Shared pieces of the build tests: a sink that keeps what it is given, and small scripts
// written into a temporary directory to play the compiler or the interpreter.
#include <QByteArray>
#include <QFile>
#include <QString>

#include "output_sink.h"

class CCaptureSink : public COutputSink {
public:
  void AppendText(const QByteArray& text) override {
    m_text += text;
    ++m_appends;
  }
  QByteArray m_text;
  int m_appends = 0;
};

// Writes an executable /bin/sh script at path; returns false when it could not.
inline bool WriteScript(const QString& path, const QByteArray& body) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  file.write("#!/bin/sh\n" + body + "\n");
  file.close();
  return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ExeOwner);
}

inline bool WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(content) == content.size();
}

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
