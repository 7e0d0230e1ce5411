#pragma once
#include <QLabel>
#include <QStatusBar>
#include <vector>

class CCommandBinder;


// The main frame's status bar: pane 0 shows the prompts (and "For Help, press F1" while
// there is none); the indicator panes right of it are sized by their resource texts. When
// the window is too narrow for all of them, the rightmost panes hide first, so that no pane
// is ever shown cut off.
class CMainStatusBar : public QStatusBar {
  Q_OBJECT

public:
  struct Indicator {
    int id;
    const char* sizingText; // the widest text the pane shows
    const char* litText;    // what it shows when enabled without a text of its own
    bool roomOnlyWithText = false; // takes no room while it has nothing to say
  };
  // Left to right, after pane 0.
  static const std::vector<Indicator>& Indicators();

  explicit CMainStatusBar(QWidget* parent = nullptr);

  // Lets the binder fill the indicator panes from the router.
  void BindPanes(CCommandBinder& binder);
  // The text of the pane with indicator id ("" while it is off); pane 0 is id 0.
  QString PaneText(int id) const;
  bool IsPaneShown(int id) const;
  // The label of pane index (0 is the prompt pane), for a control placed over it.
  QLabel* PaneWidget(int index) const;

  // The bar may be narrower than its panes: they hide instead.
  QSize minimumSizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void FitPanes();

  QLabel* m_prompt;
  std::vector<QLabel*> m_panes;
  std::vector<int> m_paneWidths;
};
