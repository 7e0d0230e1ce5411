#pragma once
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>

#include "output_sink.h"

// The control of the output bar: a read-only fixed-pitch text that a build appends to, the
// last line kept in view. Text arriving within FLUSH_MS is added to the end at once, as new
// blocks only, so a long build neither lays out the whole text again nor repaints per chunk. Double-click or Enter on a compiler message, and Next/Previous
// Message, ask for the line it names (messageActivated), file names taken relative to the
// folder of the source being built, a message without one naming that source.
class COutputBar : public QPlainTextEdit, public COutputSink {
  Q_OBJECT

public:
  static constexpr int FLUSH_MS = 30;

  explicit COutputBar(QWidget* parent = nullptr);

  // COutputSink: the child's bytes as UTF-8, a character split between chunks kept whole;
  // "\r\n" and a lone "\r" end a line.
  void AppendText(const QByteArray& text) override;
  // Empties the text and forgets the current message; source is the file being built, which
  // the coming messages are about.
  void Clear(const QString& source = QString());
  // Everything appended so far (what waits for the next flush included).
  QString Text();
  // Adds the waiting text to the control now.
  void Flush();

  // Every message in the text, as (absolute file path, 1-based line).
  QList<QPair<QString, int>> Messages();
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
  bool MessageAt(int index, QString& path, int& line) const;
  bool Step(int direction);

  QString m_source;
  QString m_pending;
  QTimer m_flushTimer;
  int m_current = -1; // text line of the message last gone to
  QStringDecoder m_decoder{QStringDecoder::Utf8};
  bool m_pendingCr = false; // a chunk ended in "\r": a "\n" opening the next one is the same end
};
