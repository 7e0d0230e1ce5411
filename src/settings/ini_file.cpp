#include "ini_file.h"

#include "ini_text.h"

namespace {

const QByteArray BYTE_ORDER_MARK = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView Trimmed(const QByteArray& text, qsizetype from, qsizetype end) {
  while (from < end && IsBlank(text[from])) ++from;
  while (end > from && IsBlank(text[end - 1])) --end;
  return QByteArrayView(text).sliced(from, end - from);
}

} // namespace

CIniFile::CIniFile(QByteArray text) : m_text(std::move(text)) { Parse(); }

void CIniFile::Parse() {
  m_entries.clear();
  m_sections.clear();
  QString section;
  qsizetype start = m_text.startsWith(BYTE_ORDER_MARK) ? BYTE_ORDER_MARK.size() : 0;
  while (start < m_text.size()) {
    qsizetype next = m_text.indexOf('\n', start);
    next = next < 0 ? m_text.size() : next + 1;
    qsizetype end = next;
    while (end > start && (m_text[end - 1] == '\n' || m_text[end - 1] == '\r')) --end;
    ParseLine(start, end, next, section);
    if (!m_sections.empty() && !m_entries.empty() && m_entries.back().valueStart > start)
      m_sections.back().insertAt = next;
    start = next;
  }
}

void CIniFile::ParseLine(qsizetype start, qsizetype end, qsizetype next, QString& section) {
  while (start < end && IsBlank(m_text[start])) ++start;
  if (start == end || m_text[start] == ';' || m_text[start] == '#') return;
  if (m_text[start] == '[') {
    const qsizetype close = QByteArrayView(m_text).sliced(start, end - start).indexOf(']');
    if (close < 0) return; // kept as it stands, as any line that is no entry
    const QByteArrayView name = Trimmed(m_text, start + 1, start + close);
    section = name.compare("general", Qt::CaseInsensitive) == 0 ? QString() : IniKeyFromText(name);
    m_sections.push_back({section, next});
    return;
  }
  // Keys hold no quotes or "=": QSettings escapes them.
  const qsizetype found = QByteArrayView(m_text).sliced(start, end - start).indexOf('=');
  if (found <= 0) return;
  const qsizetype equals = start + found;
  const QString key = IniKeyFromText(Trimmed(m_text, start, equals));
  const qsizetype valueEnd = IniValueEnd(QByteArrayView(m_text).first(end), equals + 1);
  m_entries.push_back({section.isEmpty() ? key : section + QLatin1Char('/') + key, equals + 1, valueEnd});
}

std::optional<QByteArray> CIniFile::ValueText(const QString& key) const {
  for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
    if (it->key == key) return m_text.mid(it->valueStart, it->valueEnd - it->valueStart);
  return std::nullopt;
}

const CIniFile::Section* CIniFile::SectionFor(const QString& key) const {
  const Section* best = nullptr;
  for (const Section& s : m_sections) {
    const bool holds = s.name.isEmpty() ? !key.contains(QLatin1Char('/'))
                                        : key.startsWith(s.name + QLatin1Char('/'));
    if (holds && (!best || s.name.size() >= best->name.size())) best = &s;
  }
  return best;
}

QByteArray CIniFile::LineEnd() const { return m_text.contains("\r\n") ? "\r\n" : "\n"; }

void CIniFile::SetValueText(const QString& key, const QByteArray& valueText) {
  for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
    if (it->key != key) continue;
    // A comment after the value stays, a blank apart from it.
    const bool comment = it->valueEnd < m_text.size() && m_text[it->valueEnd] == ';';
    m_text.replace(it->valueStart, it->valueEnd - it->valueStart,
                   comment ? valueText + ' ' : valueText);
    Parse();
    return;
  }
  const QByteArray lineEnd = LineEnd();
  if (const Section* section = SectionFor(key)) {
    const QString inSection = section->name.isEmpty() ? key : key.mid(section->name.size() + 1);
    QByteArray line = IniKeyText(inSection) + '=' + valueText + lineEnd;
    const qsizetype at = section->insertAt;
    if (at > 0 && m_text[at - 1] != '\n') line.prepend(lineEnd); // the last line had no end
    m_text.insert(at, line);
  } else {
    const qsizetype slash = key.indexOf(QLatin1Char('/'));
    const QString name = slash < 0 ? QStringLiteral("General") : key.left(slash);
    if (!m_text.isEmpty() && !m_text.endsWith('\n')) m_text += lineEnd;
    if (!m_text.isEmpty() && !m_text.endsWith(lineEnd + lineEnd)) m_text += lineEnd;
    m_text += '[' + IniKeyText(name) + ']' + lineEnd + IniKeyText(key.mid(slash + 1)) + '=' +
              valueText + lineEnd;
  }
  Parse();
}
