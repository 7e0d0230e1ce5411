#pragma once
#include <cstdint>
#include <vector>

#include <QString>

#include "profile_store.h"

// Every value the program keeps in the settings store: section, value name, type and default.
// Readers and writers go through these keys so that names and defaults live in one place.

enum class SettingType { String, Integer };

// A string value.
struct StringSettingKey {
  const char* section;
  const char* value;
  const char* defaultText;
};

// An integer value (read back as unsigned 32-bit).
struct IntSettingKey {
  const char* section;
  const char* value;
  uint32_t defaultValue;
};

inline constexpr const char* SECTION_PATHS = "Editor\\Paths";
inline constexpr const char* SECTION_OPTIONS = "Editor\\Options";
inline constexpr const char* SECTION_STYLES = "Editor\\Styles";
inline constexpr const char* SECTION_FIND = "Editor\\Find";
inline constexpr const char* SECTION_REPLACE = "Editor\\Replace";
inline constexpr const char* SECTION_PAGE_SETUP = "Editor\\PageSetup";

inline constexpr StringSettingKey SETTING_COMPILER_PATH{SECTION_PATHS, "Compiler", ""};
inline constexpr StringSettingKey SETTING_INTERPRETER_PATH{SECTION_PATHS, "Interpreter", ""};
inline constexpr StringSettingKey SETTING_LIBRARY_PATH{SECTION_PATHS, "Library", ""};
// The interpreter Run starts for Glulx story files (.ulx).
inline constexpr StringSettingKey SETTING_GLULX_INTERPRETER_PATH{SECTION_PATHS, "GlulxInterpreter", ""};

// Bit set of compiler switches; 3 = "-D" and "-U" on.
inline constexpr IntSettingKey SETTING_STANDARD_OPTIONS{SECTION_OPTIONS, "StandardOptions", 3};
inline constexpr StringSettingKey SETTING_USER_DEF_OPTIONS{SECTION_OPTIONS, "UserDefOptions", ""};
inline constexpr IntSettingKey SETTING_Z5{SECTION_OPTIONS, "z5", 1};
// Kilobytes of compiler output the output bar keeps (the newest lines); a stored value
// outside the bounds is taken as the nearest bound.
inline constexpr IntSettingKey SETTING_OUTPUT_LIMIT_KB{SECTION_OPTIONS, "OutputLimitKB", 16384};
inline constexpr uint32_t OUTPUT_LIMIT_MIN_KB = 64;
inline constexpr uint32_t OUTPUT_LIMIT_MAX_KB = 1024 * 1024;

inline constexpr IntSettingKey SETTING_FIND_MATCH_CASE{SECTION_FIND, "MatchCase", 0};
inline constexpr IntSettingKey SETTING_FIND_WHOLE_WORD{SECTION_FIND, "WholeWord", 0};
inline constexpr StringSettingKey SETTING_FIND_WHAT{SECTION_FIND, "FindWhat", ""};

inline constexpr IntSettingKey SETTING_REPLACE_MATCH_CASE{SECTION_REPLACE, "MatchCase", 0};
inline constexpr IntSettingKey SETTING_REPLACE_WHOLE_WORD{SECTION_REPLACE, "WholeWord", 0};
inline constexpr StringSettingKey SETTING_REPLACE_FIND_WHAT{SECTION_REPLACE, "FindWhat", ""};
inline constexpr StringSettingKey SETTING_REPLACE_WITH{SECTION_REPLACE, "ReplaceWith", ""};

// Margins in the page-setup dialog's units.
inline constexpr IntSettingKey SETTING_LEFT_MARGIN{SECTION_PAGE_SETUP, "LeftMargin", 1000};
inline constexpr IntSettingKey SETTING_RIGHT_MARGIN{SECTION_PAGE_SETUP, "RightMargin", 1000};
inline constexpr IntSettingKey SETTING_TOP_MARGIN{SECTION_PAGE_SETUP, "TopMargin", 1000};
inline constexpr IntSettingKey SETTING_BOTTOM_MARGIN{SECTION_PAGE_SETUP, "BottomMargin", 1000};

// The stored styles are colour indices 6 to 15; their values are the style's key name
// (GetColourIndexInfo(i).keyName) followed by one of these.
inline constexpr int FIRST_STORED_STYLE = 6;
inline constexpr int LAST_STORED_STYLE = 15;
inline constexpr const char* STYLE_COLOUR_SUFFIX = "Colour";
inline constexpr const char* STYLE_BOLD_SUFFIX = "Bold";
inline constexpr const char* STYLE_ITALIC_SUFFIX = "Italic";

// The value names of style index i (6..15), e.g. "CommentColour".
QString StyleColourValueName(int index);
QString StyleBoldValueName(int index);
QString StyleItalicValueName(int index);

inline QString ReadSetting(const CProfileStore& store, const StringSettingKey& key) {
  return store.GetProfileString(QString::fromLatin1(key.section), QString::fromLatin1(key.value),
                                QString::fromLatin1(key.defaultText));
}
inline uint32_t ReadSetting(const CProfileStore& store, const IntSettingKey& key) {
  return store.GetProfileInt(QString::fromLatin1(key.section), QString::fromLatin1(key.value),
                             key.defaultValue);
}
inline bool WriteSetting(CProfileStore& store, const StringSettingKey& key, const QString& text) {
  return store.WriteProfileString(QString::fromLatin1(key.section), QString::fromLatin1(key.value),
                                  text);
}
inline bool WriteSetting(CProfileStore& store, const IntSettingKey& key, int32_t v) {
  return store.WriteProfileInt(QString::fromLatin1(key.section), QString::fromLatin1(key.value), v);
}

// The compiler, library and interpreter paths as Compile and Run use them: the stored value
// when it is not empty; otherwise (never set, or emptied) what this system offers
// (SystemToolPath). Every reader of these three paths calls this, so the
// editor and torvane-cli agree.
QString ReadToolPath(const CProfileStore& store, const StringSettingKey& key);

// What this system offers for a path nobody has stored: "inform6" found on the PATH, the
// folder /usr/share/inform6/library when it exists, Debian's "zcode-interpreter" on the PATH
// or in /usr/games. Empty when there is nothing, and for any other key.
QString SystemToolPath(const StringSettingKey& key);

// One row of the table of every stored value.
struct SettingKeyInfo {
  QString section;
  QString value;
  SettingType type;
  uint32_t defaultValue; // integers
  QString defaultText;   // strings
};

// Every stored value, in the order of the sections: paths, options, styles (index 6 to 15,
// each Colour, Bold, Italic), find, replace, page setup.
const std::vector<SettingKeyInfo>& AllSettingKeys();

// The row for (section, value), matching the value name exactly and the section with "\" and
// "/" taken as the same; nullptr for a value the program does not know.
const SettingKeyInfo* FindSettingKey(const QString& section, const QString& value);
