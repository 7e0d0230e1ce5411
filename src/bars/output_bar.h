#pragma once
#include <string>
#include <vector>

#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>

#include "output_sink.h"

// The control of the output bar: a read-only fixed-pitch text that a build appends to, the
// last line kept in view. Appended text waits FLUSH_MS so that text arriving together is
// added and painted together; then at most FLUSH_SLICE characters are added per turn of the
// event loop, because adding a line to the text document costs microseconds and a compiler
// can print megabytes in a few milliseconds: one big insertion would freeze the window.
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

  explicit COutputBar(QWidget* parent = nullptr);

  // COutputSink: the child's bytes as UTF-8, a character split between chunks kept whole;
  // "\r\n" and a lone "\r" end a line.
  void AppendText(const QByteArray& text) override;
  // Empties the text and forgets the messages; source is the file being built, which the
  // coming messages are about.
  void Clear(const QString& source = QString());
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
  // The message on text line index (0-based): selects it and emits; false when it is none.
  bool ActivateLine(int index);

signals:
  void messageActivated(const QString& path, int line);

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  // A compiler message: its text line (0-based), the file as printed and the line it names.
  struct MessageLine {
    int index;
    std::string file;
    int line;
  };

  void InsertPending(qsizetype limit);
  void ScanLines(const QString& text);
  void ScanLine(QStringView line);
  QString Resolve(const MessageLine& message) const;
  bool Step(int direction);

  QString m_source;
  QString m_pending;               // text not shown yet, from m_pendingStart on
  qsizetype m_pendingStart = 0;
  QTimer m_flushTimer;
  QStringDecoder m_decoder{QStringDecoder::Utf8};
  bool m_pendingCr = false; // a chunk ended in "\r": a "\n" opening the next one is the same end
  int m_lineCount = 0;      // line ends appended so far: the index of the line being appended
  QString m_partialLine;    // that line's text so far
  std::vector<MessageLine> m_messages; // ordered by index
  int m_current = -1;                  // text line of the message last gone to
};
