#pragma once
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QRect>
#include <QString>

class CMainStatusBar;


// A progress control over one pane of the main frame's status bar, with a caption written in
// the pane to its left. It lives for one long operation: made at its start, stepped, and
// destroyed at its end, which gives the pane its text back. Without a status bar (or once the
// status bar is gone) there is no control, and every operation does nothing.
class CProgressBar : public QObject {
  Q_OBJECT

public:
  // No control.
  CProgressBar();
  // Creates the control at once over pane (0 is the prompt pane): range 0 to maximum, step 1.
  // sizePercent is the share of the pane, right of the caption, that the control covers.
  // Qt's progress bar is always drawn as one block, so smooth changes nothing.
  CProgressBar(CMainStatusBar* statusBar, const QString& message, int sizePercent, int maximum,
               bool smooth, int pane);
  ~CProgressBar() override;

  CProgressBar(const CProgressBar&) = delete;
  CProgressBar& operator=(const CProgressBar&) = delete;

  void SetRange(int lower, int upper, int step);
  // Shows the control and sets the step StepIt advances by.
  void SetStep(int step);
  // Shows the control and advances it by one step.
  void StepIt();
  // Writes the caption into the pane (while the control is shown) and places the control
  // right of it; false without a control.
  bool Resize();
  // Hides the control and gives the pane its text back ("For Help, press F1" for pane 0).
  void RestorePane();

  // The control (null when there is none) and where it was last placed, in status-bar
  // coordinates.
  QProgressBar* Control() const { return m_control; }
  QRect Placement() const { return m_placement; }

protected:
  // The pane moves or changes size: the control follows it.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPointer<CMainStatusBar> m_statusBar;
  QPointer<QProgressBar> m_control;
  int m_size = 100;
  int m_pane = 0;
  int m_step = 1;
  int m_position = 0; // the control shows it to the nearest pixel
  QString m_message;
  QString m_previousText;
  QRect m_placement;
};
