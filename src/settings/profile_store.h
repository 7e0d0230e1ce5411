#pragma once
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

#include "ini_file.h"

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
// The file is an INI file in the layout of Qt's QSettings, read and written by this class
// alone: a write changes only the bytes of the value it writes (see CIniFile), and the file is
// replaced in one step. It is opened as a source is: only a regular file, reached through any
// links, is read or written; a pipe, device or folder is never waited on or replaced, and
// then every value reads as its default and nothing is written (Problem() says why). Values
// of types the program does not keep (a QSettings "@Variant(...)", "@Rect(...)"...) read as
// missing, with a warning, and are never turned into objects.
//
// Where the default store lives: "Quenmark Applications/Torvane.ini" under the user's
// configuration directory, $XDG_CONFIG_HOME (or ~/.config), as it is when the store is made;
// SetUserConfigDirectory() puts every default store made after it in another directory.
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
  // section or value name is empty (LastError() says why); the caller may tell the user.
  bool WriteProfileInt(const QString& section, const QString& value, int32_t v);
  bool WriteProfileString(const QString& section, const QString& value, const QString& text);

  // Bytes, for layouts kept by the framework (the bar state). Missing or not bytes: empty.
  QByteArray GetProfileBinary(const QString& section, const QString& value) const;
  bool WriteProfileBinary(const QString& section, const QString& value, const QByteArray& data);

  // True when a value is stored (as opposed to reading as its default).
  bool HasProfileValue(const QString& section, const QString& value) const;

  // The file behind this store.
  QString FileName() const;

  // Why the file cannot hold the settings (a pipe, a device, unreadable), for the user; empty
  // when it can. Found when the store is made and at every read.
  QString Problem() const;
  // Why the last write failed; empty after one that succeeded.
  QString LastError() const { return m_lastError; }

  // Where default stores made from now on keep their file: DIR/Quenmark Applications/Torvane.ini.
  static void SetUserConfigDirectory(const QString& dir);

  // The section as a settings key path: "Editor\Paths" + "Compiler" -> "Editor/Paths/Compiler".
  static QString KeyPath(const QString& section, const QString& value);

private:
  // What tells one state of the file from another.
  struct FileIdentity {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t changeSeconds = 0, changeNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
  };
  struct Stored;
  // The stored value of key, typed; reads the file again when it has changed.
  Stored Lookup(const QString& section, const QString& value) const;
  // The file as it is now: read again when it has changed since, or always when afresh.
  const CIniFile& Current(bool afresh = false) const;
  // Every write: refused without a section or value name or on a file that cannot hold the
  // settings, then the file read afresh, the one value changed, and the file replaced.
  bool WriteValue(const QString& section, const QString& value, const QByteArray& valueText);

  QString m_path;
  mutable CIniFile m_file;
  mutable bool m_read = false;
  mutable std::optional<FileIdentity> m_identity; // of the file m_file was read from
  mutable QString m_problem;
  QString m_lastError;
};
