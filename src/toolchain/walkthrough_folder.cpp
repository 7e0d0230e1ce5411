#include "walkthrough_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "project_file.h"
#include "transcript.h"
#include "transcript_normaliser.h"

namespace {

QString PathOf(const QString& folder, const QString& name, const char* extension) {
  return QDir(folder).filePath(name + QLatin1String(extension));
}

// The whole of a regular file up to limit bytes; exists false when there is no such file.
bool ReadSmallFile(const QString& path, qint64 limit, QByteArray& bytes, bool& exists, QString& error) {
  const QFileInfo info(path);
  exists = info.exists();
  if (!exists) return true;
  const QString name = info.fileName();
  if (!info.isFile()) {
    error = QStringLiteral("%1 is not a regular file.").arg(name);
    return false;
  }
  if (info.size() > limit) {
    error = QStringLiteral("%1 is larger than %2 MB; it is not read.").arg(name).arg(limit / (1024 * 1024));
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString());
    return false;
  }
  bytes = file.read(limit + 1);
  if (bytes.size() > limit) {
    error = QStringLiteral("%1 is larger than %2 MB; it is not read.").arg(name).arg(limit / (1024 * 1024));
    return false;
  }
  return true;
}

bool WriteWhole(const QString& path, const QByteArray& bytes, QString& error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  error = QStringLiteral("%1 could not be written: %2").arg(QFileInfo(path).fileName(), file.errorString());
  return false;
}

// What a walkthrough is made of now: a digest of NAME.cmd and NAME.expected (either may be
// missing). Empty when a file cannot be read: no result is kept for it then.
QByteArray Fingerprint(const QString& folder, const QString& name) {
  QCryptographicHash hash(QCryptographicHash::Sha1);
  for (const auto& [extension, limit] : {std::pair{".cmd", MAX_COMMAND_FILE_BYTES}, {".expected", MAX_TRANSCRIPT_BYTES}}) {
    QByteArray bytes;
    bool exists = false;
    QString error;
    if (!ReadSmallFile(PathOf(folder, name, extension), limit, bytes, exists, error)) return {};
    // The file's presence counts as well as its bytes: an empty file is not a missing one.
    hash.addData(exists ? QByteArrayView("+") : QByteArrayView("-"));
    hash.addData(QByteArray::number(bytes.size()) + ':');
    hash.addData(bytes);
  }
  return hash.result().toHex();
}

// One line of RESULTS_FILE: NAME, "passed" or "failed", the fingerprint, the problem; TABs
// between them.
constexpr char RESULT_SEPARATOR = '\t';

} // namespace

QString WalkthroughFolder(const QString& mainFile) {
  return QFileInfo(mainFile).absoluteDir().filePath(QLatin1String(WALKTHROUGH_FOLDER));
}

QString WalkthroughFolderFor(const QString& source, const ProjectFile* project) {
  if (project && !project->path.empty()) {
    const std::string path = QFile::encodeName(QFileInfo(source).absoluteFilePath()).toStdString();
    if (project->Contains(path) || path == project->path)
      return WalkthroughFolder(QFile::decodeName(QByteArray::fromStdString(project->path)));
  }
  return WalkthroughFolder(source);
}

std::map<QString, KeptWalkthroughResult> ReadWalkthroughResults(const QString& folder) {
  std::map<QString, KeptWalkthroughResult> results;
  QByteArray bytes;
  bool exists = false;
  QString error;
  if (!ReadSmallFile(QDir(folder).filePath(QLatin1String(RESULTS_FILE)), MAX_COMMAND_FILE_BYTES, bytes, exists, error))
    return results;
  for (const QByteArray& line : bytes.split('\n')) {
    const QList<QByteArray> fields = line.split(RESULT_SEPARATOR);
    if (fields.size() != 4 || (fields[1] != "passed" && fields[1] != "failed")) continue;
    const QString name = QString::fromUtf8(fields[0]);
    if (fields[2].isEmpty() || fields[2] != Fingerprint(folder, name)) continue;
    results[name] = KeptWalkthroughResult{fields[1] == "passed", QString::fromUtf8(fields[3])};
  }
  return results;
}

bool KeepWalkthroughResult(const QString& folder, const QString& name, const KeptWalkthroughResult& result,
                           QString& error) {
  const QByteArray fingerprint = Fingerprint(folder, name);
  const QByteArray ownName = name.toUtf8();
  if (fingerprint.isEmpty() || ownName.contains(RESULT_SEPARATOR) || ownName.contains('\n')) {
    error = QStringLiteral("The result of %1 cannot be kept.").arg(name);
    return false;
  }
  QByteArray kept;
  bool exists = false;
  const QString path = QDir(folder).filePath(QLatin1String(RESULTS_FILE));
  if (!ReadSmallFile(path, MAX_COMMAND_FILE_BYTES, kept, exists, error)) return false;
  QByteArray text;
  for (const QByteArray& line : kept.split('\n'))
    if (!line.isEmpty() && !line.startsWith(ownName + RESULT_SEPARATOR)) text += line + '\n';
  QByteArray problem = result.problem.toUtf8();
  problem.replace('\n', ' ').replace(RESULT_SEPARATOR, ' ');
  text += ownName + RESULT_SEPARATOR + (result.passed ? "passed" : "failed") + RESULT_SEPARATOR + fingerprint +
          RESULT_SEPARATOR + problem + '\n';
  return WriteWhole(path, text, error);
}

QStringList ListWalkthroughs(const QString& folder) {
  QStringList names;
  const QDir dir(folder);
  for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.cmd")}, QDir::Files, QDir::Name))
    names << info.completeBaseName();
  return names;
}

bool WalkthroughExists(const QString& folder, const QString& name) {
  return QFileInfo::exists(PathOf(folder, name, ".cmd")) ||
         QFileInfo::exists(PathOf(folder, name, ".expected"));
}

bool ReadWalkthroughCommands(const QString& folder, const QString& name, WalkthroughCommands& out,
                             QString& error) {
  QByteArray bytes;
  bool exists = false;
  if (!ReadSmallFile(PathOf(folder, name, ".cmd"), MAX_COMMAND_FILE_BYTES, bytes, exists, error)) return false;
  if (!exists) {
    error = QStringLiteral("%1.cmd does not exist.").arg(name);
    return false;
  }
  std::string problem;
  if (ParseWalkthroughCommands(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), out, problem))
    return true;
  error = QStringLiteral("%1.cmd: %2").arg(name, QString::fromStdString(problem));
  return false;
}

bool ReadExpectedTranscript(const QString& folder, const QString& name,
                            std::vector<std::string>& lines, bool& exists, QString& error) {
  QByteArray bytes;
  if (!ReadSmallFile(PathOf(folder, name, ".expected"), MAX_TRANSCRIPT_BYTES, bytes, exists, error))
    return false;
  lines = SplitLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  return true;
}

bool ReadIgnorePatterns(const QString& folder, CTranscriptNormaliser& normaliser, QString& error) {
  QByteArray bytes;
  bool exists = false;
  if (!ReadSmallFile(QDir(folder).filePath(QLatin1String(IGNORE_FILE)), MAX_COMMAND_FILE_BYTES, bytes,
                     exists, error))
    return false;
  std::string problem;
  if (normaliser.SetPatterns(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), problem))
    return true;
  error = QStringLiteral("%1: %2").arg(QLatin1String(IGNORE_FILE), QString::fromStdString(problem));
  return false;
}

bool WriteExpectedTranscript(const QString& folder, const QString& name, const std::string& text,
                             QString& error) {
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("The folder %1 could not be made.").arg(folder);
    return false;
  }
  return WriteWhole(PathOf(folder, name, ".expected"), QByteArray::fromStdString(text), error);
}

bool SaveWalkthrough(const QString& folder, const QString& name, const WalkthroughCommands& commands,
                     const std::string& transcript, bool replace, QString& error) {
  if (name.isEmpty() || name.contains('/') || name.startsWith('.') || name.contains(QChar(0))) {
    error = QStringLiteral("\"%1\" cannot name a walkthrough: give a file name without a folder.").arg(name);
    return false;
  }
  if (!replace && WalkthroughExists(folder, name)) {
    error = QStringLiteral("The walkthrough %1 exists already.").arg(name);
    return false;
  }
  std::string problem;
  const std::string text = FormatWalkthroughCommands(commands, problem);
  if (!problem.empty()) {
    error = QString::fromStdString(problem);
    return false;
  }
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("The folder %1 could not be made.").arg(folder);
    return false;
  }
  return WriteWhole(PathOf(folder, name, ".cmd"), QByteArray::fromStdString(text), error) &&
         WriteExpectedTranscript(folder, name, transcript, error);
}
