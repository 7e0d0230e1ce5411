#pragma once
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "transcript.h"

// Turns an interpreter's RemGlk output (one JSON update a line) into what the dfrotz reader
// gives: the story's lines as a line-mode interpreter would print them, word-wrapped at the
// play width, styles dropped, with an input line (its text the prompt) wherever the story
// waited. The grid window (the status line) is kept apart, and answers to the story's
// requests are made here, as they must carry the update's generation and window.
class QJsonArray;
class QJsonObject;

class CRemGlkReader {
public:
  // An update larger than this is refused (the session is then stopped), so a story cannot
  // make us hold one line without end.
  static constexpr qsizetype MAX_UPDATE = 64 * 1024 * 1024;

  explicit CRemGlkReader(int width = 80);

  // The first event: the screen size the story lays its windows out for.
  QByteArray InitEvent(int height = 25) const;
  // Takes output bytes; complete updates add their finished lines to out.
  void Feed(std::string_view bytes, std::vector<CLineTypedReader::Line>& out);
  // The output has ended: the part line left, and a request still waiting, become lines.
  void Finish(std::vector<CLineTypedReader::Line>& out);

  // The story waits for input (a line, a key or a file name).
  bool Waiting() const { return m_request.kind != Request::None; }
  // The event answering the waiting request with command (a key takes its first character,
  // "" the Return key; a file name leading out of the story's folder is refused: no file).
  // The prompt goes to out as the input line. Empty when nothing waits.
  QByteArray Answer(const std::string& command, std::vector<CLineTypedReader::Line>& out);

  // The part line shown while the story waits: the end of the open paragraph.
  std::string_view Pending() const { return m_pending; }
  // The status line: the grid window's rows, trailing blanks dropped; "" when there is none.
  QString StatusLine() const;
  // Why the output cannot be read on ("" while it can): a broken or oversized update, or an
  // error the interpreter reported.
  const QString& Failure() const { return m_failure; }
  // The interpreter's own fatal error, shown in the story's window (Bocfel then ends with
  // status 0): the run failed all the same. "" when there was none.
  const QString& FatalError() const { return m_fatal; }
  // The story closed its windows: it has ended.
  bool Disabled() const { return m_disabled; }

private:
  struct Request {
    enum Kind { None, Line, Char, File } kind = None;
    qint64 gen = 0;
    qint64 window = 0;
  };
  void Update(const QByteArray& json, std::vector<CLineTypedReader::Line>& out);
  void Windows(const QJsonArray& windows);
  void Grid(const QJsonObject& content);
  void Buffer(qint64 window, const QJsonArray& text, std::vector<CLineTypedReader::Line>& out);
  void CloseParagraph(std::vector<CLineTypedReader::Line>& out);
  void NoteFatal(const QJsonArray& content, const QString& runs);
  // Emits every finished row of the open paragraph, keeping the last as the part line.
  void EmitWrapped(bool all, bool lastIsInput, std::vector<CLineTypedReader::Line>& out);

  int m_width;
  QByteArray m_partial;       // an update not yet ended by its line end
  bool m_tooLong = false;     // the update being read is past MAX_UPDATE: skipped
  QString m_open;             // the paragraph the story still writes to, not yet emitted
  bool m_opened = false;      // a paragraph has been started (an empty one still counts)
  qint64 m_main = -1;         // the buffer window of the story's text
  std::string m_pending;      // m_open as UTF-8
  bool m_echo = false;        // the next update starts with the echo of the line sent
  qint64 m_grid = -1;         // the status window, -1 when there is none
  QStringList m_gridRows;
  QList<qint64> m_buffers;    // the buffer windows
  qint64 m_gen = 0;
  Request m_request;
  QString m_filePrompt;
  QString m_failure;
  QString m_fatal;
  bool m_disabled = false;
};

// Lines of text cut to width like a line-mode interpreter: at the last blank that lets the
// row fit (the blank goes), or within a word longer than the row.
QStringList WrapParagraph(const QString& text, int width);
