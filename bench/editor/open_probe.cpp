// torvane_open_probe FILE [--top]: opens FILE in an Inform view of 900 x 700 pixels, goes to
// the end of the text (Ctrl+End, as Vim's +G goes to the last line) unless --top is given,
// and exits when the first paint of the window has finished. Made for timing an open against
// Vim's with hyperfine and for its peak memory with /usr/bin/time -v (see bench/README.md).
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "text_buffer.h"
#include "torvane_view.h"

namespace {

// "VmRSS" and "VmHWM" (the peak) of this process, as /proc gives them.
std::string ResidentSizes() {
  std::ifstream status("/proc/self/status");
  std::string line, out;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmHWM:", 0) == 0) out += " " + line;
  return out;
}

class CProbeView : public CTorvaneView {
protected:
  void paintEvent(QPaintEvent* event) override {
    CTorvaneView::paintEvent(event);
    if (!m_painted) {
      m_painted = true;
      // After this paint has been handed to the window.
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
  }

private:
  bool m_painted = false;
};

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: torvane_open_probe FILE [--top]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const bool top = argc > 2 && std::strcmp(argv[2], "--top") == 0;

  CTextBuffer buffer;
  if (!buffer.Load(argv[1])) {
    std::fprintf(stderr, "torvane_open_probe: cannot load %s\n", argv[1]);
    return 1;
  }
  const std::string loaded = ResidentSizes();
  CProbeView view;
  view.SetDocumentBuffer(&buffer);
  view.OnInitialUpdate();
  view.resize(900, 700);
  view.show(); // lays the window out; it paints once the event loop runs
  if (!top) {
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&view, &end);
  }
  const int status = QApplication::exec();
  std::fprintf(stderr, "lines %d, caret line %d, top line %d, first column %d\n",
               buffer.LineCount(), view.GetCursorPosition().y, view.GetTopLine(),
               view.GetFirstColumn());
  std::fprintf(stderr, "loaded:%s\npainted:%s\n", loaded.c_str(), ResidentSizes().c_str());
  // The process ends here: freeing a large text piece by piece is no part of an open.
  std::fflush(stderr);
  std::_Exit(status);
}
