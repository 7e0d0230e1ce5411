#pragma once
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "text_position.h"

class CTorvaneView;

// Shows what the language service knows of the name under the mouse once the mouse has rested
// on it for HOVER_DELAY_MS; the caret stays where it is. A key, a click, the wheel, leaving the
// view or moving to another word hides it.
class CHoverTip : public QObject {
  Q_OBJECT

public:
  static constexpr int HOVER_DELAY_MS = 500;
  // The rich text for the word at a position of a view; empty: nothing to show.
  using TextAt = std::function<QString(CTorvaneView* view, TextPosition position)>;

  explicit CHoverTip(TextAt textAt, QObject* parent = nullptr);
  void Watch(CTorvaneView* view);
  // The text shown now; empty while nothing is.
  const QString& ShownText() const { return m_shown; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Show();
  void Hide();
  // The position of the word character under point of view's viewport, if there is one.
  static std::optional<TextPosition> WordAt(CTorvaneView* view, QPoint point);

  TextAt m_textAt;
  QTimer m_timer;
  QPointer<CTorvaneView> m_view;
  QPoint m_point;               // where the mouse rests, in the viewport
  std::optional<TextPosition> m_word; // the word's start while its text is shown
  QString m_shown;
};
