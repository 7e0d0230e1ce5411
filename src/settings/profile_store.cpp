#include "profile_store.h"

#include <limits>

#include <QSettings>

namespace {

const char* const COMPANY_KEY = "Quenmark Applications";
const char* const APPLICATION_KEY = "Torvane";

} // namespace

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

CProfileStore::CProfileStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromLatin1(COMPANY_KEY),
                                             QString::fromLatin1(APPLICATION_KEY))) {}

CProfileStore::CProfileStore(const QString& iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {}

CProfileStore::~CProfileStore() = default;

QString CProfileStore::KeyPath(const QString& section, const QString& value) {
  QString path = section;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path + QLatin1Char('/') + value;
}

uint32_t CProfileStore::GetProfileInt(const QString& section, const QString& value,
                                      uint32_t defaultValue) const {
  const QVariant stored = m_settings->value(KeyPath(section, value));
  if (!stored.isValid()) return defaultValue;
  uint32_t result = 0;
  return ParseProfileInt(stored.toString(), result) ? result : defaultValue;
}

QString CProfileStore::GetProfileString(const QString& section, const QString& value,
                                        const QString& defaultValue) const {
  const QVariant stored = m_settings->value(KeyPath(section, value));
  if (!stored.isValid()) return defaultValue;
  // The INI reader turns a text containing commas into a list; the store holds plain text.
  if (stored.typeId() == QMetaType::QStringList)
    return stored.toStringList().join(QLatin1Char(','));
  return stored.toString();
}

QByteArray CProfileStore::GetProfileBinary(const QString& section, const QString& value) const {
  const QVariant stored = m_settings->value(KeyPath(section, value));
  return stored.typeId() == QMetaType::QByteArray ? stored.toByteArray() : QByteArray();
}

bool CProfileStore::WriteProfileBinary(const QString& section, const QString& value,
                                       const QByteArray& data) {
  return WriteValue(section, value, data);
}

bool CProfileStore::HasProfileValue(const QString& section, const QString& value) const {
  return m_settings->contains(KeyPath(section, value));
}

bool CProfileStore::WriteProfileInt(const QString& section, const QString& value, int32_t v) {
  return WriteValue(section, value, QString::number(v));
}

bool CProfileStore::WriteProfileString(const QString& section, const QString& value,
                                       const QString& text) {
  return WriteValue(section, value, text);
}

bool CProfileStore::WriteValue(const QString& section, const QString& value,
                               const QVariant& data) {
  if (section.isEmpty() || value.isEmpty()) return false;
  m_settings->setValue(KeyPath(section, value), data);
  return Flush();
}

bool CProfileStore::Flush() {
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

QString CProfileStore::FileName() const { return m_settings->fileName(); }

void CProfileStore::SetUserConfigDirectory(const QString& dir) {
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}
