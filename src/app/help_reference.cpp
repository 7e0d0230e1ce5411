#include "help_reference.h"

#include <QFile>
#include <algorithm>

#include "word_classifier.h"

static void InitHelpResources() { Q_INIT_RESOURCE(resources); }

namespace {

constexpr const char* HEADER_MARK = "== ";
constexpr const char* FIELD_SEPARATOR = " | ";
constexpr const char* BUILTIN_PATH = ":/help/inform_reference.txt";

QString Key(QString word) {
  if (word.startsWith(QLatin1Char('#'))) word.remove(0, 1);
  return word.toLower();
}

} // namespace

CHelpReference CHelpReference::Parse(const QString& text, QStringList* errors) {
  CHelpReference reference;
  auto fail = [errors](int line, const QString& reason) {
    if (errors) *errors << QStringLiteral("line %1: %2").arg(line).arg(reason);
  };
  HelpEntry* open = nullptr; // the entry whose paragraph is being read
  int openLine = 0;
  auto close = [&] {
    if (open && open->text.isEmpty()) {
      fail(openLine, QStringLiteral("\"%1\" has no text").arg(open->word));
      reference.m_index.remove(Key(open->word));
      reference.m_entries.pop_back();
    }
    open = nullptr;
  };
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    const int number = i + 1;
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (!line.startsWith(QLatin1String(HEADER_MARK))) {
      if (!open) {
        fail(number, QStringLiteral("text outside an entry"));
        continue;
      }
      open->text += (open->text.isEmpty() ? QString() : QStringLiteral(" ")) + line;
      continue;
    }
    close();
    // The usage may itself hold the separator ("first | last"): only two splits count.
    const QString header = line.mid(3);
    const qsizetype first = header.indexOf(QLatin1String(FIELD_SEPARATOR));
    const qsizetype second = first < 0 ? -1 : header.indexOf(QLatin1String(FIELD_SEPARATOR), first + 3);
    HelpEntry entry;
    entry.word = header.left(first).trimmed();
    entry.kind = first < 0 ? QString() : header.mid(first + 3, second - first - 3).trimmed();
    entry.usage = second < 0 ? QString() : header.mid(second + 3).trimmed();
    if (entry.word.isEmpty() || entry.word.contains(QLatin1Char(' ')) || entry.kind.isEmpty() ||
        entry.usage.isEmpty()) {
      fail(number, QStringLiteral("an entry needs \"== word | kind | usage\""));
      continue;
    }
    const QString key = Key(entry.word);
    if (reference.m_index.contains(key)) {
      fail(number, QStringLiteral("\"%1\" is there twice").arg(entry.word));
      continue;
    }
    reference.m_index.insert(key, static_cast<int>(reference.m_entries.size()));
    reference.m_entries.push_back(entry);
    open = &reference.m_entries.back();
    openLine = number;
  }
  close();
  return reference;
}

const CHelpReference& CHelpReference::Builtin() {
  static const CHelpReference reference = [] {
    InitHelpResources();
    QFile file(QString::fromLatin1(BUILTIN_PATH));
    if (!file.open(QIODevice::ReadOnly)) return CHelpReference();
    return Parse(QString::fromUtf8(file.readAll()));
  }();
  return reference;
}

const HelpEntry* CHelpReference::Find(const QString& word) const {
  const auto it = m_index.constFind(Key(word));
  return it == m_index.constEnd() ? nullptr : &m_entries[static_cast<std::size_t>(*it)];
}

QString InformWordAt(const char* text, int length, int x) {
  if (!text || length <= 0) return QString();
  x = std::clamp(x, 0, length);
  auto isWord = [text](int i) { return IsInformWordChar(static_cast<unsigned char>(text[i])); };
  int start = x;
  if (start == length || !isWord(start)) --start; // the caret just after a word
  if (start < 0 || !isWord(start)) return QString();
  while (start > 0 && isWord(start - 1)) --start;
  int end = start;
  while (end < length && isWord(end)) ++end;
  return QString::fromLatin1(text + start, end - start);
}
