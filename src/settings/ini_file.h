#pragma once
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

// The text of an INI file as the settings store keeps it: values are found by key path
// ("Editor/Paths/Compiler", the section's levels and the key's joined by "/"), and a change
// rewrites only the value it changes. Every other byte (a byte-order mark, comments, blank
// lines, lines that are no entry, values in another encoding, the line ends) stays as it was.
class CIniFile {
public:
  explicit CIniFile(QByteArray text = {});

  // The text after "=" (up to an unquoted ";") on the last line that holds key, as QSettings
  // also lets the last one win; nullopt when no line does.
  std::optional<QByteArray> ValueText(const QString& key) const;

  // Makes valueText (already escaped) the value of key: on the line that holds it; else on a
  // new line after the last entry of the longest section that key lies in; else in a new
  // section, named by the key's first level, at the end.
  void SetValueText(const QString& key, const QByteArray& valueText);

  const QByteArray& Text() const { return m_text; }

private:
  struct Entry {
    QString key;          // the whole path
    qsizetype valueStart; // after "="
    qsizetype valueEnd;   // before an unquoted ";" or the line end
  };
  struct Section {
    QString name;       // the path it holds ("" for [General])
    qsizetype insertAt; // after its header or its last entry, with the line end
  };

  void Parse();
  // Reads one line [start, end) without its line end, the next line starting at next;
  // section is the one it lies in.
  void ParseLine(qsizetype start, qsizetype end, qsizetype next, QString& section);
  const Section* SectionFor(const QString& key) const;
  QByteArray LineEnd() const;

  QByteArray m_text;
  std::vector<Entry> m_entries;
  std::vector<Section> m_sections;
};
