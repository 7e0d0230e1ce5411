#pragma once
#include <deque>
#include <functional>
#include <string>

#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>

#include "compiler_message.h"
#include "output_sink.h"

// The control of the output bar: a read-only fixed-pitch text that a build appends to, the
// last line kept in view. Appended text waits FLUSH_MS so that text arriving together is
// added and painted together; then at most FLUSH_SLICE characters are added per turn of the
// event loop, because adding a line to the text document costs microseconds and a compiler
// can print megabytes in a few milliseconds: one big insertion would freeze the window.
//
// The control keeps the newest whole lines up to a limit of characters (a runaway compiler
// must not take all memory); the first line then says how many earlier lines were dropped.
// Each line of the output is one line of the control, whatever characters it holds.
//
// Compiler messages are recognised as their lines arrive, so finding them never walks the
// whole text. Double-click or Enter on a message, and Next/Previous Message, ask for the
// line it names (messageActivated), file names taken relative to the folder of the source
// being built, a message without one naming that source.
class COutputBar : public QPlainTextEdit, public COutputSink {
  Q_OBJECT

public:
  static constexpr int FLUSH_MS = 30;
  static constexpr qsizetype FLUSH_SLICE = 128 * 1024;
  // A longer line is no compiler message and is not read as one (a message is a few hundred
  // characters; the output of a runaway compiler may hold no line end at all).
  static constexpr qsizetype MAX_MESSAGE_LINE = 16 * 1024;
  // Characters of one line that are shown, then a note that the rest is left out: laying out
  // a line costs more than its length (one of 256 KB takes minutes, each time text is added
  // to it), and a compiler that prints without line ends must not freeze the window.
  static constexpr qsizetype MAX_SHOWN_LINE = 16 * 1024;

  explicit COutputBar(QWidget* parent = nullptr);

  // COutputSink: the child's bytes as UTF-8, a character split between chunks kept whole;
  // "\r\n" and a lone "\r" end a line.
  void AppendText(const QByteArray& text) override;
  // Empties the text and forgets the messages; source is the file being built, which the
  // coming messages are about.
  void Clear(const QString& source = QString());
  // Characters of output kept (line ends counted, the note of dropped lines not); when more
  // arrive, the oldest whole lines go, down to seven eighths of it so that dropping is rare.
  void SetLimit(qsizetype characters) { m_limit = characters; }
  qsizetype Limit() const { return m_limit; }
  // Lines of output dropped so far.
  qint64 DroppedLines() const { return m_dropped; }
  // Everything appended so far (what still waits to be shown included).
  QString Text();
  // Adds everything that waits to the control now.
  void Flush();
  // Whether appended text still waits to be shown.
  bool Pending() const { return m_pendingStart < m_pending.size(); }

  // Every message in the text, as (absolute file path, 1-based line), in order.
  QList<QPair<QString, int>> Messages() const;
  bool HasMessages() const { return !m_messages.empty(); }
  // Goes to the next (previous) message line after (before) the current one, selects it and
  // emits messageActivated; false when there is none.
  bool NextMessage();
  bool PreviousMessage();
  // The message on line block of the control (0-based): selects it and emits; false when it
  // is none.
  bool ActivateLine(int block);
  // Hears every whole line of output as it arrives (not one too long to be a message).
  void SetLineListener(std::function<void(QStringView line)> listener) { m_lineListener = std::move(listener); }

signals:
  void messageActivated(const QString& path, int line);

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  // A compiler message: its line of output (0-based, counted from the first line of the build,
  // dropped ones included), the file as printed and the line it names.
  struct MessageLine {
    qint64 index;
    std::string file;
    int line;
  };

  void InsertPending(qsizetype limit);
  QString ShownText(QStringView text) const;
  void ScanLines(const QString& text);
  void ScanLine(QStringView line);
  void Trim();
  qsizetype DropFromDocument(qsizetype excess);
  void DropFromPending(qsizetype excess);
  void ShowDropped();
  int HeaderBlocks() const { return m_dropped > 0 || m_cutLine ? 1 : 0; }
  qsizetype BodyStart() const;
  int BlockOf(qint64 index) const;
  bool ActivateMessage(qint64 index);
  QString Resolve(const MessageLine& message) const;
  bool Step(int direction);

  QString m_source;
  QString m_pending;               // text not shown yet, from m_pendingStart on
  qsizetype m_pendingStart = 0;
  QTimer m_flushTimer;
  QStringDecoder m_decoder{QStringDecoder::Utf8};
  bool m_pendingCr = false; // a chunk ended in "\r": a "\n" opening the next one is the same end
  qint64 m_lineCount = 0;   // line ends appended so far: the index of the line being appended
  QString m_partialLine;    // that line's text so far, while it may still be a message
  bool m_longLine = false;  // that line is already too long to be a message
  CCompilerMessageReader m_reader;
  std::function<void(QStringView)> m_lineListener;
  std::deque<MessageLine> m_messages; // ordered by index; those of dropped lines gone
  qint64 m_current = -1;              // line of the message last gone to
  qsizetype m_limit;
  qint64 m_dropped = 0;   // lines dropped: the index of the first line kept
  bool m_cutLine = false; // the first line kept has lost its start (no line end within reach)
};
