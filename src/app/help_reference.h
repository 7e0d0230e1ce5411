#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// One entry of the Inform reference: the word as written in the reference, what kind of word
// it is ("Statement", "Directive" ...), a line showing how it is written, and one paragraph.
struct HelpEntry {
  QString word;
  QString kind;
  QString usage;
  QString text;
};

// The Inform reference that F1 shows for the word at the caret. It is data: entries are read
// from text where each starts with a line "== word | kind | usage" and its paragraph follows,
// up to the next entry; lines starting with '#' are comments.
class CHelpReference {
public:
  // The entries of text. Every line that breaks the format is reported in errors as
  // "line N: reason" and left out; the rest is still read.
  static CHelpReference Parse(const QString& text, QStringList* errors = nullptr);
  // The reference compiled into the program (resources/help/inform_reference.txt).
  static const CHelpReference& Builtin();

  // The entry of word, whatever its letter case, and with or without the '#' that a
  // directive may carry; null when there is none.
  const HelpEntry* Find(const QString& word) const;
  // The entries in the order of the text.
  const std::vector<HelpEntry>& Entries() const { return m_entries; }

private:
  std::vector<HelpEntry> m_entries;
  QHash<QString, int> m_index; // lower-case word -> entry
};

// The word at column x of a line of Inform source (the bytes text[0 .. length-1]): the run
// of word characters that x is in, or that ends just before x, so that F1 with the caret
// right after a word still finds it. Empty when the caret touches no word.
QString InformWordAt(const char* text, int length, int x);
