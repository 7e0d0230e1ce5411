// torvane-cli settings: read and write the values of the settings store from a terminal, so
// that the compiler, library and interpreter paths can be set up without the options dialog.
//
//   settings get SECTION VALUE
//   settings set [--int|--text] SECTION VALUE DATA
//   settings list
//
// A value the program knows is read with its default and written with its own type; an
// integer must then be a 32-bit number (decimal or 0x hexadecimal). A value the program does
// not know is written only with --int or --text, so that a mistyped name does not quietly
// store a setting nothing reads.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QByteArray>
#include <QString>

#include "cli_command.h"
#include "file_name.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

void Usage() {
  std::fprintf(stderr, "usage: torvane-cli settings get SECTION VALUE\n"
                       "       torvane-cli settings set [--int|--text] SECTION VALUE DATA\n"
                       "       torvane-cli settings list\n"
                       "SECTION as \"Editor\\Paths\" or \"Editor/Paths\"\n");
}

// Arguments and stored texts keep bytes that are not UTF-8 (a Latin-1 path) as they are.
QString Arg(const char* text) { return FileNameFromBytes(QByteArray(text)); }

void PrintLine(const QString& text) {
  const QByteArray bytes = FileNameToBytes(text);
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
  std::fputc('\n', stdout);
}

// What get and list printed must have reached standard output (a full disk, a closed pipe).
int FinishOutput() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  std::fprintf(stderr, "torvane-cli: cannot write the output: %s\n", std::strerror(errno));
  return 1;
}

// The value as the program uses it: a path nobody stored is the one found on this system.
QString Current(const CProfileStore& store, const SettingKeyInfo& key) {
  for (const StringSettingKey& path :
       {SETTING_COMPILER_PATH, SETTING_LIBRARY_PATH, SETTING_INTERPRETER_PATH,
        SETTING_GLULX_INTERPRETER_PATH}) {
    if (key.section == QLatin1String(path.section) && key.value == QLatin1String(path.value))
      return ReadToolPath(store, path);
  }
  if (key.type == SettingType::Integer)
    return QString::number(store.GetProfileInt(key.section, key.value, key.defaultValue));
  return store.GetProfileString(key.section, key.value, key.defaultText);
}

int Get(const QString& section, const QString& value) {
  const CProfileStore store;
  if (const SettingKeyInfo* key = FindSettingKey(section, value)) {
    PrintLine(Current(store, *key));
    return FinishOutput();
  }
  if (!store.HasProfileValue(section, value)) {
    std::fprintf(stderr, "torvane-cli: no value '%s' is stored in section '%s'\n",
                 value.toLocal8Bit().constData(), section.toLocal8Bit().constData());
    return 1;
  }
  PrintLine(store.GetProfileString(section, value, QString()));
  return FinishOutput();
}

int Set(int argc, char** argv) {
  enum class Forced { None, Int, Text } forced = Forced::None;
  int first = 2;
  if (argc > first && std::strcmp(argv[first], "--int") == 0) {
    forced = Forced::Int;
    ++first;
  } else if (argc > first && std::strcmp(argv[first], "--text") == 0) {
    forced = Forced::Text;
    ++first;
  }
  if (argc - first != 3) {
    Usage();
    return 2;
  }
  const QString section = Arg(argv[first]);
  const QString value = Arg(argv[first + 1]);
  const QString data = Arg(argv[first + 2]);
  if (section.isEmpty() || value.isEmpty()) {
    std::fprintf(stderr, "torvane-cli: the section and the value name must not be empty\n");
    return 2;
  }

  bool isInt = false;
  if (const SettingKeyInfo* key = FindSettingKey(section, value)) {
    isInt = key->type == SettingType::Integer;
    if ((forced == Forced::Int && !isInt) || (forced == Forced::Text && isInt)) {
      std::fprintf(stderr, "torvane-cli: '%s' in '%s' holds %s\n", argv[first + 1], argv[first],
                   isInt ? "an integer" : "a text");
      return 2;
    }
  } else if (forced == Forced::None) {
    std::fprintf(stderr,
                 "torvane-cli: Torvane does not use a value '%s' in section '%s'; "
                 "give --text or --int to store it anyway\n",
                 argv[first + 1], argv[first]);
    return 2;
  } else {
    isInt = forced == Forced::Int;
  }

  CProfileStore store;
  bool written = false;
  if (isInt) {
    // Typed as the store reads it back.
    uint32_t number = 0;
    if (!ParseProfileInt(data, number)) {
      std::fprintf(stderr, "torvane-cli: '%s' is not a 32-bit integer; nothing was written\n",
                   argv[first + 2]);
      return 2;
    }
    written = store.WriteProfileInt(section, value, static_cast<int32_t>(number));
  } else {
    written = store.WriteProfileString(section, value, data);
  }
  if (!written) {
    std::fprintf(stderr, "torvane-cli: the setting was not written: %s\n",
                 FileNameToBytes(store.LastError()).constData());
    return 1;
  }
  return 0;
}

int List() {
  const CProfileStore store;
  for (const SettingKeyInfo& key : AllSettingKeys())
    PrintLine(key.section + QLatin1Char('\t') + key.value + QLatin1Char('\t') +
              Current(store, key));
  return FinishOutput();
}

int RunSettings(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "get") == 0 && argc == 4)
    return Get(Arg(argv[2]), Arg(argv[3]));
  if (argc >= 2 && std::strcmp(argv[1], "set") == 0) return Set(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) return List();
  Usage();
  return 2;
}

const CCliCommandRegistrar
    SETTINGS_COMMAND("settings", "settings get|set|list ...    read or change the stored settings",
                     RunSettings);

} // namespace
