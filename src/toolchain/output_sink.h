#pragma once
#include <QByteArray>

// Where a build's text goes: the output bar in the editor, standard output in torvane-cli,
// a capture in tests. Text is the child's bytes, single-byte, appended in order.
class COutputSink {
public:
  virtual ~COutputSink() = default;
  virtual void AppendText(const QByteArray& text) = 0;
};
