#pragma once
// Shared by the torvane-cli tests: the program run as a child process, and files for it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

struct CliResult {
  int exitCode = -1;
  QByteArray out, err;
};

// Runs torvane-cli; with a configuration home its settings store lies below that folder.
inline CliResult RunCli(const QStringList& arguments, const QString& configHome = QString(),
                        const QString& workDir = QString()) {
  QProcess process;
  if (!configHome.isEmpty()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(env);
  }
  if (!workDir.isEmpty()) process.setWorkingDirectory(workDir);
  process.start(QStringLiteral(TORVANE_CLI), arguments);
  EXPECT_TRUE(process.waitForFinished(120000)); // a bound against a hang only
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QString DataFile(const char* name) { return QStringLiteral(TORVANE_TEST_DATA "/") + QLatin1String(name); }
