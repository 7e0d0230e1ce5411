#include "cli_project.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>

#include "file_name.h"
#include "source_message.h"

bool LoadCliBuildTarget(const char* command, const char* file, CliBuildTarget& target) {
  const QString path = QFileInfo(FileNameFromBytes(QByteArray(file))).absoluteFilePath();
  if (!path.endsWith(QLatin1String(".i6proj"))) {
    target.source = path;
    return true;
  }
  ProjectFile project;
  SourceMessage error;
  if (!ReadProjectFile(QFile::encodeName(path).toStdString(), project, error)) {
    std::fprintf(stderr, "torvane-cli %s: %s\n", command, error.Describe().c_str());
    return false;
  }
  target.source = QFile::decodeName(QByteArray::fromStdString(project.mainFile));
  target.project = std::move(project);
  return true;
}
