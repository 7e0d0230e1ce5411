#include "settings_keys.h"

#include <cstring>

#include <QFileInfo>
#include <QStandardPaths>

#include "colouring.h"

namespace {

QString StyleValueName(int index, const char* suffix) {
  return QString::fromLatin1(GetColourIndexInfo(index).keyName) + QString::fromLatin1(suffix);
}

SettingKeyInfo Row(const StringSettingKey& key) {
  return {QString::fromLatin1(key.section), QString::fromLatin1(key.value), SettingType::String, 0,
          QString::fromLatin1(key.defaultText)};
}

SettingKeyInfo Row(const IntSettingKey& key) {
  return {QString::fromLatin1(key.section), QString::fromLatin1(key.value), SettingType::Integer,
          key.defaultValue, QString()};
}

QString NormalSection(QString section) {
  section.replace(QLatin1Char('/'), QLatin1Char('\\'));
  return section;
}

bool SameKey(const StringSettingKey& a, const StringSettingKey& b) {
  return std::strcmp(a.section, b.section) == 0 && std::strcmp(a.value, b.value) == 0;
}

} // namespace

QString StyleColourValueName(int index) { return StyleValueName(index, STYLE_COLOUR_SUFFIX); }
QString StyleBoldValueName(int index) { return StyleValueName(index, STYLE_BOLD_SUFFIX); }
QString StyleItalicValueName(int index) { return StyleValueName(index, STYLE_ITALIC_SUFFIX); }

const std::vector<SettingKeyInfo>& AllSettingKeys() {
  static const std::vector<SettingKeyInfo> table = [] {
    std::vector<SettingKeyInfo> rows{
        Row(SETTING_COMPILER_PATH),    Row(SETTING_INTERPRETER_PATH), Row(SETTING_LIBRARY_PATH),
        Row(SETTING_GLULX_INTERPRETER_PATH),
        Row(SETTING_STANDARD_OPTIONS), Row(SETTING_USER_DEF_OPTIONS), Row(SETTING_Z5),
        Row(SETTING_OUTPUT_LIMIT_KB),
    };
    const QString styles = QString::fromLatin1(SECTION_STYLES);
    for (int i = FIRST_STORED_STYLE; i <= LAST_STORED_STYLE; ++i) {
      const ColourIndexInfo& info = GetColourIndexInfo(i);
      rows.push_back(
          {styles, StyleColourValueName(i), SettingType::Integer, info.defaultColour, {}});
      rows.push_back(
          {styles, StyleBoldValueName(i), SettingType::Integer, info.bold ? 1u : 0u, {}});
      rows.push_back(
          {styles, StyleItalicValueName(i), SettingType::Integer, info.italic ? 1u : 0u, {}});
    }
    for (const SettingKeyInfo& row :
         {Row(SETTING_FIND_MATCH_CASE), Row(SETTING_FIND_WHOLE_WORD), Row(SETTING_FIND_WHAT),
          Row(SETTING_REPLACE_MATCH_CASE), Row(SETTING_REPLACE_WHOLE_WORD),
          Row(SETTING_REPLACE_FIND_WHAT), Row(SETTING_REPLACE_WITH), Row(SETTING_LEFT_MARGIN),
          Row(SETTING_RIGHT_MARGIN), Row(SETTING_TOP_MARGIN), Row(SETTING_BOTTOM_MARGIN)})
      rows.push_back(row);
    return rows;
  }();
  return table;
}

const SettingKeyInfo* FindSettingKey(const QString& section, const QString& value) {
  const QString wanted = NormalSection(section);
  for (const SettingKeyInfo& row : AllSettingKeys()) {
    if (row.value == value && row.section == wanted) return &row;
  }
  return nullptr;
}

QString SystemToolPath(const StringSettingKey& key) {
  if (SameKey(key, SETTING_COMPILER_PATH))
    return QStandardPaths::findExecutable(QStringLiteral("inform6"));
  if (SameKey(key, SETTING_LIBRARY_PATH)) {
    const QString library = QStringLiteral("/usr/share/inform6/library");
    return QFileInfo(library).isDir() ? library : QString();
  }
  if (SameKey(key, SETTING_INTERPRETER_PATH)) {
    // Debian's alternative for Z-code interpreters; /usr/games is often not on the PATH.
    const QString name = QStringLiteral("zcode-interpreter");
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/games")})
                            : onPath;
  }
  if (SameKey(key, SETTING_GLULX_INTERPRETER_PATH)) {
    // Debian's alternative for Glulx interpreters when there is one, else Gargoyle.
    for (const char* name : {"glulx-interpreter", "gargoyle-free"}) {
      const QString onPath = QStandardPaths::findExecutable(QLatin1String(name));
      const QString found = onPath.isEmpty()
                                ? QStandardPaths::findExecutable(QLatin1String(name), {QStringLiteral("/usr/games")})
                                : onPath;
      if (!found.isEmpty()) return found;
    }
  }
  return QString();
}

QString ReadToolPath(const CProfileStore& store, const StringSettingKey& key) {
  const QString section = QString::fromLatin1(key.section);
  const QString value = QString::fromLatin1(key.value);
  // An empty value means "the default": an options page written with an empty field must
  // not turn the tools off.
  const QString stored = store.GetProfileString(section, value, {});
  return stored.trimmed().isEmpty() ? SystemToolPath(key) : stored;
}
