#include "profile_store.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "file_name.h"
#include "ini_text.h"
#include "text_file_io.h"

namespace {

const char* const COMPANY_KEY = "Quenmark Applications";
const char* const APPLICATION_KEY = "Torvane";

// A settings file is a few kilobytes; this much is certainly not one.
constexpr size_t MAX_SETTINGS_FILE = 16 * 1024 * 1024;

QString& ConfigDirectoryOverride() {
  static QString dir;
  return dir;
}

// Each warning once in a process: a value is read again at every use.
void WarnOnce(const QString& text) {
  static std::mutex mutex;
  static std::set<QString> given;
  const std::lock_guard lock(mutex);
  if (given.insert(text).second) qWarning("%s", qUtf8Printable(text));
}

// The type name of a QSettings typed value ("@Variant(...)" -> "Variant"), or empty.
QString TypeName(const QString& text) {
  if (!text.startsWith(QLatin1Char('@')) || !text.endsWith(QLatin1Char(')'))) return {};
  const qsizetype open = text.indexOf(QLatin1Char('('));
  if (open < 2) return {};
  for (QChar c : QStringView(text).sliced(1, open - 1))
    if (!c.isLetter()) return {};
  return text.mid(1, open - 1);
}

// "@ByteArray(...)" holds one character a byte, as QSettings writes it; a byte that was not
// escaped and is not UTF-8 stands for itself.
QByteArray CharactersAsBytes(QStringView text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (QChar c : text) {
    if (HoldsKeptBytes(QStringView(&c, 1))) bytes += EncodeKeepingBytes(QStringView(&c, 1));
    else bytes += c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
  }
  return bytes;
}

} // namespace

// A value as read from the file.
struct CProfileStore::Stored {
  enum class Kind { Missing, Text, Bytes } kind = Kind::Missing;
  QString text;
  QByteArray bytes;
};

bool ParseProfileInt(const QString& text, uint32_t& result) {
  const QString t = text.trimmed();
  bool ok = false;
  qlonglong v = 0;
  if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    v = t.mid(2).toLongLong(&ok, 16);
  } else {
    v = t.toLongLong(&ok, 10);
  }
  if (!ok) return false;
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<uint32_t>::max())
    return false;
  result = static_cast<uint32_t>(v);
  return true;
}

CProfileStore::CProfileStore() {
  QString dir = ConfigDirectoryOverride();
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  m_path = dir + QLatin1Char('/') + QString::fromLatin1(COMPANY_KEY) + QLatin1Char('/') +
           QString::fromLatin1(APPLICATION_KEY) + QStringLiteral(".ini");
  Current();
}

CProfileStore::CProfileStore(const QString& iniFilePath) : m_path(iniFilePath) { Current(); }

CProfileStore::~CProfileStore() = default;

QString CProfileStore::KeyPath(const QString& section, const QString& value) {
  QString path = section;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path + QLatin1Char('/') + value;
}

const CIniFile& CProfileStore::Current(bool afresh) const {
  const std::string path = FileNameToBytes(m_path).toStdString();
  struct stat st;
  const bool found = stat(path.c_str(), &st) == 0;
  FileError error{found ? 0 : errno, found ? std::string() : std::strerror(errno)};
  std::optional<FileIdentity> identity;
  if (found)
    identity = FileIdentity{st.st_dev, st.st_ino, static_cast<uint64_t>(st.st_size),
                            st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
  if (!afresh && m_read && identity == m_identity) return m_file;
  m_read = true;
  m_identity = identity;
  m_problem.clear();
  std::string bytes;
  if (found) ReadFileBytes(path, bytes, MAX_SETTINGS_FILE, &error);
  m_file = CIniFile(QByteArray::fromStdString(bytes));
  // No file yet is a fresh user; anything else that keeps us from reading it is told.
  if (error.IsFailure() && error.code != ENOENT) {
    m_file = CIniFile();
    m_problem = QStringLiteral("Cannot read the settings file '%1': %2. Torvane uses the default "
                               "settings and does not write to the file.")
                    .arg(m_path, QString::fromLocal8Bit(error.text));
    WarnOnce(m_problem);
  }
  return m_file;
}

CProfileStore::Stored CProfileStore::Lookup(const QString& section, const QString& value) const {
  const std::optional<QByteArray> raw = Current().ValueText(KeyPath(section, value));
  if (!raw) return {};
  const QString text = IniValueFromText(*raw);
  if (text.startsWith(QLatin1String("@@"))) return {Stored::Kind::Text, text.mid(1), {}};
  const QString type = TypeName(text);
  if (type.isEmpty()) return {Stored::Kind::Text, text, {}};
  if (type == QLatin1String("ByteArray")) {
    return {Stored::Kind::Bytes, {}, CharactersAsBytes(QStringView(text).sliced(11, text.size() - 12))};
  }
  // How QSettings keeps a text that holds a NUL.
  if (type == QLatin1String("String")) return {Stored::Kind::Text, text.mid(8, text.size() - 9), {}};
  WarnOnce(QStringLiteral("The settings file %1 holds a value of type %2 as %3; Torvane does not "
                          "use values of that type and ignores it.")
               .arg(m_path, type, KeyPath(section, value)));
  return {};
}

uint32_t CProfileStore::GetProfileInt(const QString& section, const QString& value,
                                      uint32_t defaultValue) const {
  const Stored stored = Lookup(section, value);
  uint32_t result = 0;
  return stored.kind == Stored::Kind::Text && ParseProfileInt(stored.text, result) ? result
                                                                                   : defaultValue;
}

QString CProfileStore::GetProfileString(const QString& section, const QString& value,
                                        const QString& defaultValue) const {
  const Stored stored = Lookup(section, value);
  if (stored.kind == Stored::Kind::Bytes) return DecodeKeepingBytes(stored.bytes);
  return stored.kind == Stored::Kind::Text ? stored.text : defaultValue;
}

QByteArray CProfileStore::GetProfileBinary(const QString& section, const QString& value) const {
  return Lookup(section, value).bytes;
}

bool CProfileStore::HasProfileValue(const QString& section, const QString& value) const {
  return Lookup(section, value).kind != Stored::Kind::Missing;
}

bool CProfileStore::WriteProfileInt(const QString& section, const QString& value, int32_t v) {
  return WriteValue(section, value, IniStringText(QString::number(v)));
}

bool CProfileStore::WriteProfileString(const QString& section, const QString& value,
                                       const QString& text) {
  return WriteValue(section, value, IniStringText(text));
}

bool CProfileStore::WriteProfileBinary(const QString& section, const QString& value,
                                       const QByteArray& data) {
  return WriteValue(section, value, IniBytesText(data));
}

bool CProfileStore::WriteValue(const QString& section, const QString& value,
                               const QByteArray& valueText) {
  m_lastError.clear();
  if (section.isEmpty() || value.isEmpty()) {
    m_lastError = QStringLiteral("a setting needs a section and a value name");
    return false;
  }
  // Afresh, so that what another store or program wrote meanwhile is kept.
  Current(true);
  if (!m_problem.isEmpty()) {
    m_lastError = m_problem;
    return false;
  }
  CIniFile changed = m_file;
  changed.SetValueText(KeyPath(section, value), valueText);
  const QString folder = QFileInfo(m_path).path();
  if (!HoldsKeptBytes(folder)) QDir().mkpath(folder);
  FileError error;
  if (!WriteFileBytes(FileNameToBytes(m_path).toStdString(), changed.Text().toStdString(), &error)) {
    m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(error.text));
    return false;
  }
  Current(true);
  return true;
}

QString CProfileStore::FileName() const { return m_path; }

QString CProfileStore::Problem() const {
  Current();
  return m_problem;
}

void CProfileStore::SetUserConfigDirectory(const QString& dir) { ConfigDirectoryOverride() = dir; }
