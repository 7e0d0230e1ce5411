#include "remglk_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString TrimmedRight(QString text) {
  qsizetype end = text.size();
  while (end > 0 && text[end - 1].isSpace()) --end;
  text.truncate(end);
  return text;
}

// The text of a run list: {"style", "text"} objects, or the older flat style, text pairs.
// echo: the runs in the input style are the line just typed, already shown with its prompt.
QString RunsText(const QJsonArray& runs, bool echo) {
  QString text;
  for (qsizetype i = 0; i < runs.size(); ++i) {
    if (runs[i].isObject()) {
      const QJsonObject run = runs[i].toObject();
      if (!(echo && run[QLatin1String("style")].toString() == QLatin1String("input")))
        text += run[QLatin1String("text")].toString();
    } else if (runs[i].isString() && i + 1 < runs.size()) {
      if (!(echo && runs[i].toString() == QLatin1String("input"))) text += runs[i + 1].toString();
      ++i;
    }
  }
  return text;
}

} // namespace

QStringList WrapParagraph(const QString& text, int width) {
  QStringList rows;
  QString rest = text;
  while (width > 0 && rest.size() > width) {
    const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), width);
    const qsizetype cut = blank > 0 ? blank : width;
    rows << TrimmedRight(rest.left(cut));
    qsizetype next = cut;
    while (blank > 0 && next < rest.size() && rest[next] == QLatin1Char(' ')) ++next;
    rest = rest.mid(next);
  }
  rows << rest;
  return rows;
}

CRemGlkReader::CRemGlkReader(int width) : m_width(width) {}

QByteArray CRemGlkReader::InitEvent(int height) const {
  // No timer and no hyperlinks: a story then has no events but the player's, so a replay
  // meets the same story every time.
  const QJsonObject init{{"type", "init"},
                         {"gen", 0},
                         {"metrics", QJsonObject{{"width", m_width}, {"height", height}}},
                         {"support", QJsonArray()}};
  return QJsonDocument(init).toJson(QJsonDocument::Compact) + '\n';
}

void CRemGlkReader::Feed(std::string_view bytes, std::vector<CLineTypedReader::Line>& out) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!m_tooLong) {
      m_partial.append(piece.data(), static_cast<qsizetype>(piece.size()));
      m_tooLong = m_partial.size() > MAX_UPDATE;
      if (m_tooLong) m_partial.clear();
    }
    if (end == std::string_view::npos) return;
    if (m_tooLong && m_failure.isEmpty())
      m_failure = QStringLiteral("The interpreter wrote an update of more than %1 MB.").arg(MAX_UPDATE / (1024 * 1024));
    else if (!m_partial.trimmed().isEmpty() && m_failure.isEmpty())
      Update(m_partial, out);
    m_partial.clear();
    m_tooLong = false;
    bytes.remove_prefix(end + 1);
  }
}

void CRemGlkReader::Update(const QByteArray& json, std::vector<CLineTypedReader::Line>& out) {
  QJsonParseError error;
  const QJsonObject update = QJsonDocument::fromJson(json, &error).object();
  if (error.error != QJsonParseError::NoError) {
    m_failure = QStringLiteral("The interpreter's output could not be read: %1.").arg(error.errorString());
    return;
  }
  const QString type = update[QLatin1String("type")].toString();
  if (type == QLatin1String("error")) {
    m_failure = QStringLiteral("The interpreter reported: %1").arg(update[QLatin1String("message")].toString());
    return;
  }
  if (type != QLatin1String("update")) return;
  m_gen = update[QLatin1String("gen")].toInteger();
  if (update.contains(QLatin1String("windows"))) {
    const qint64 main = m_main;
    Windows(update[QLatin1String("windows")].toArray());
    if (m_main != main && m_opened) CloseParagraph(out); // the old window's part line is complete
  }
  // The windows' contents come in no fixed order (the interpreter keeps them in a hash map):
  // the story's own window is read first, so its notes always stand in the same place.
  const QJsonArray contents = update[QLatin1String("content")].toArray();
  for (const bool mainWindow : {true, false}) {
    for (const QJsonValue& value : contents) {
      const QJsonObject content = value.toObject();
      const qint64 id = content[QLatin1String("id")].toInteger();
      if ((id == m_main) != mainWindow) continue;
      if (id == m_grid) Grid(content);
      else if (m_buffers.contains(id)) Buffer(id, content[QLatin1String("text")].toArray(), out);
    }
  }
  m_request = Request();
  const QJsonObject special = update[QLatin1String("specialinput")].toObject();
  if (special[QLatin1String("type")].toString() == QLatin1String("fileref_prompt")) {
    m_request = {Request::File, m_gen, 0};
    m_filePrompt = special[QLatin1String("filemode")].toString() == QLatin1String("read")
                       ? QStringLiteral("File to read (in the story's folder): ")
                       : QStringLiteral("File to write (in the story's folder): ");
  }
  // A line request wins over a key request in another window: a command answers it.
  for (const QJsonValue& value : update[QLatin1String("input")].toArray()) {
    const QJsonObject input = value.toObject();
    const QString kind = input[QLatin1String("type")].toString();
    const qint64 window = input[QLatin1String("id")].toInteger();
    if (kind == QLatin1String("line")) m_request = {Request::Line, m_gen, window};
    else if (kind == QLatin1String("char") && m_request.kind == Request::None) m_request = {Request::Char, m_gen, window};
  }
  m_disabled = m_disabled || update[QLatin1String("disable")].toBool();
}

void CRemGlkReader::Windows(const QJsonArray& windows) {
  const qint64 grid = m_grid;
  qint64 main = -1;
  m_grid = -1;
  m_buffers.clear();
  qsizetype rows = 0;
  qint64 height = -1;
  for (const QJsonValue& value : windows) {
    const QJsonObject window = value.toObject();
    const QString type = window[QLatin1String("type")].toString();
    const qint64 id = window[QLatin1String("id")].toInteger();
    if (type == QLatin1String("buffer")) {
      m_buffers << id;
      // The story's text goes to the tallest: the others hold notes (Bocfel's warnings).
      if (window[QLatin1String("height")].toInteger() > height) {
        height = window[QLatin1String("height")].toInteger();
        main = id;
      }
    }
    // A hidden or zero-height grid shows nothing: the story has no status line now.
    if (type == QLatin1String("grid") && m_grid < 0 && !window[QLatin1String("hidden")].toBool() &&
        window[QLatin1String("gridheight")].toInteger() > 0) {
      m_grid = id;
      rows = window[QLatin1String("gridheight")].toInteger();
    }
  }
  if (m_grid != grid) m_gridRows.clear();
  m_main = main;
  m_gridRows.resize(m_grid < 0 ? 0 : rows);
}

void CRemGlkReader::Grid(const QJsonObject& content) {
  if (content[QLatin1String("clear")].toBool()) m_gridRows.fill(QString());
  for (const QJsonValue& value : content[QLatin1String("lines")].toArray()) {
    const QJsonObject line = value.toObject();
    const qint64 row = line[QLatin1String("line")].toInteger(-1);
    if (row >= 0 && row < m_gridRows.size()) m_gridRows[row] = RunsText(line[QLatin1String("content")].toArray(), false);
  }
}

void CRemGlkReader::Buffer(qint64 window, const QJsonArray& text, std::vector<CLineTypedReader::Line>& out) {
  if (window != m_main) {
    // Another window (Bocfel's for its warnings and errors): its text is complete at once and
    // stands before the main window's part line (the prompt it belongs to comes after).
    QStringList paragraphs;
    for (const QJsonValue& value : text) {
      const QJsonObject paragraph = value.toObject();
      const QJsonArray content = paragraph[QLatin1String("content")].toArray();
      const QString runs = RunsText(content, false);
      NoteFatal(content, runs);
      if (paragraph[QLatin1String("append")].toBool() && !paragraphs.isEmpty()) paragraphs.last() += runs;
      else if (!paragraph[QLatin1String("append")].toBool() || !runs.isEmpty()) paragraphs << runs;
    }
    while (!paragraphs.isEmpty() && paragraphs.last().isEmpty()) paragraphs.removeLast();
    for (const QString& paragraph : paragraphs)
      for (const QString& row : WrapParagraph(paragraph, m_width)) out.push_back({row.toStdString(), false});
    return;
  }
  for (const QJsonValue& value : text) {
    const QJsonObject paragraph = value.toObject();
    const QJsonArray content = paragraph[QLatin1String("content")].toArray();
    const QString runs = RunsText(content, m_echo);
    m_echo = false;
    NoteFatal(content, runs);
    if (paragraph[QLatin1String("append")].toBool()) {
      // Nothing appended to the line of a command already read: that line is complete.
      if (!m_opened && runs.isEmpty()) continue;
      m_open += runs;
    } else {
      if (m_opened) CloseParagraph(out);
      m_open = runs;
    }
    m_opened = true;
    EmitWrapped(false, false, out);
  }
}

void CRemGlkReader::NoteFatal(const QJsonArray& content, const QString& runs) {
  const QJsonObject first = content.isEmpty() ? QJsonObject() : content[0].toObject();
  if (m_fatal.isEmpty() && first[QLatin1String("style")].toString() == QLatin1String("alert") &&
      runs.contains(QLatin1String("fatal error"), Qt::CaseInsensitive))
    m_fatal = runs.trimmed();
}

void CRemGlkReader::CloseParagraph(std::vector<CLineTypedReader::Line>& out) {
  EmitWrapped(true, false, out);
}

void CRemGlkReader::EmitWrapped(bool all, bool lastIsInput, std::vector<CLineTypedReader::Line>& out) {
  const QStringList rows = WrapParagraph(m_open, m_width);
  const qsizetype done = all ? rows.size() : rows.size() - 1;
  for (qsizetype i = 0; i < done; ++i)
    out.push_back({rows[i].toStdString(), lastIsInput && i == rows.size() - 1});
  if (all) {
    m_open.clear();
    m_opened = false;
  } else {
    m_open = rows.last();
  }
  m_pending = m_open.toStdString();
}

QByteArray CRemGlkReader::Answer(const std::string& command, std::vector<CLineTypedReader::Line>& out) {
  if (!Waiting()) return QByteArray();
  const QString text = QString::fromStdString(command);
  QJsonObject event{{"gen", m_request.gen}};
  switch (m_request.kind) {
  case Request::Line:
    event.insert("type", "line");
    event.insert("window", m_request.window);
    event.insert("value", text);
    m_echo = true;
    break;
  case Request::Char:
    event.insert("type", "char");
    event.insert("window", m_request.window);
    event.insert("value", text.isEmpty() ? QStringLiteral("return") : text.left(text[0].isHighSurrogate() ? 2 : 1));
    break;
  case Request::File: {
    m_open += m_filePrompt;
    // Only a plain name: the file stays beside the story.
    const bool plain = !text.isEmpty() && !text.contains(QLatin1Char('/')) && text != QLatin1String(".") &&
                       text != QLatin1String("..");
    event.insert("type", "specialresponse");
    event.insert("response", "fileref_prompt");
    event.insert("value", plain ? QJsonValue(text) : QJsonValue(QJsonValue::Null));
    break;
  }
  case Request::None: break;
  }
  EmitWrapped(true, true, out);
  m_request = Request();
  return QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
}

void CRemGlkReader::Finish(std::vector<CLineTypedReader::Line>& out) {
  if (Waiting()) {
    if (m_request.kind == Request::File) m_open += m_filePrompt;
    EmitWrapped(true, true, out);
    m_request = Request();
  } else if (m_opened && !m_open.isEmpty()) {
    EmitWrapped(true, false, out);
  }
}

QString CRemGlkReader::StatusLine() const {
  QStringList rows;
  for (const QString& row : m_gridRows) rows << TrimmedRight(row);
  while (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
  return rows.join(QLatin1Char('\n'));
}
