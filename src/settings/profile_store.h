#pragma once
#include <cstdint>
#include <memory>

#include <QByteArray>
#include <QString>

class QSettings;
class QVariant;

// A 32-bit integer as the store reads it: decimal (signed or unsigned) or hexadecimal with
// 0x, blanks around it ignored. False, with result untouched, for anything else.
bool ParseProfileInt(const QString& text, uint32_t& result);

// The per-user settings store: sections of named integer and string values under
// "Quenmark Applications" / "Torvane". Every reader asks at the moment of use and every
// writer writes at once, so two stores on the same file always agree.
//
// Sections are named as the program names them ("Editor\Paths"); both "\" and "/" separate
// the levels. A missing value reads as the default and reading never writes.
//
// Where the default store lives: an INI file "Quenmark Applications/Torvane.ini" under the
// user's configuration directory, $XDG_CONFIG_HOME (or ~/.config). Qt fixes that directory
// the first time a store is opened in a process, so a program (or test) that wants another
// place either sets XDG_CONFIG_HOME before it opens the first store, or calls
// SetUserConfigDirectory(), which takes effect for every default store opened after it.
class CProfileStore {
public:
  CProfileStore();
  // A store on the given INI file (tests, tools).
  explicit CProfileStore(const QString& iniFilePath);
  ~CProfileStore();

  CProfileStore(const CProfileStore&) = delete;
  CProfileStore& operator=(const CProfileStore&) = delete;

  // Integers are kept as 32-bit values and read back as unsigned 32-bit. A stored text that
  // is not a 32-bit number (decimal, or hexadecimal with 0x) reads as the default.
  uint32_t GetProfileInt(const QString& section, const QString& value, uint32_t defaultValue) const;
  QString GetProfileString(const QString& section, const QString& value,
                           const QString& defaultValue) const;

  // Written to the file at once. Returns false when the file could not be written or the
  // section or value name is empty; the caller may tell the user.
  bool WriteProfileInt(const QString& section, const QString& value, int32_t v);
  bool WriteProfileString(const QString& section, const QString& value, const QString& text);

  // Bytes, for layouts kept by the framework (the bar state). Missing or not bytes: empty.
  QByteArray GetProfileBinary(const QString& section, const QString& value) const;
  bool WriteProfileBinary(const QString& section, const QString& value, const QByteArray& data);

  // True when a value is stored (as opposed to reading as its default).
  bool HasProfileValue(const QString& section, const QString& value) const;

  // The file behind this store.
  QString FileName() const;

  // Where default stores opened from now on keep their file: DIR/Quenmark Applications/Torvane.ini.
  static void SetUserConfigDirectory(const QString& dir);

  // The section as a settings key path: "Editor\Paths" + "Compiler" -> "Editor/Paths/Compiler".
  static QString KeyPath(const QString& section, const QString& value);

private:
  // Every write: refused without a section or value name, then stored and flushed to disk.
  bool WriteValue(const QString& section, const QString& value, const QVariant& data);
  bool Flush();

  std::unique_ptr<QSettings> m_settings;
};
