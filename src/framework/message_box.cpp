#include "message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {

TorvaneMessageBoxHandler& CurrentHandler() {
  static TorvaneMessageBoxHandler handler;
  return handler;
}

QMessageBox::StandardButtons ButtonsFor(unsigned type) {
  switch (type) {
  case MB_OKCANCEL:
    return QMessageBox::Ok | QMessageBox::Cancel;
  case MB_YESNOCANCEL:
  case MB_RELOADKEEPCANCEL:
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  case MB_YESNO:
    return QMessageBox::Yes | QMessageBox::No;
  default:
    return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconFor(unsigned icon) {
  switch (icon) {
  case MB_ICONHAND:
    return QMessageBox::Critical;
  case MB_ICONQUESTION:
    return QMessageBox::Question;
  case MB_ICONEXCLAMATION:
    return QMessageBox::Warning;
  case MB_ICONASTERISK:
    return QMessageBox::Information;
  default:
    return QMessageBox::NoIcon;
  }
}

int AnswerFor(int button, unsigned buttons) {
  switch (button) {
  case QMessageBox::Ok:
    return IDOK;
  case QMessageBox::Yes:
    return IDYES;
  case QMessageBox::No:
    return IDNO;
  case QMessageBox::Cancel:
    return IDCANCEL;
  default:
    return TorvaneMessageBoxEscapeAnswer(buttons);
  }
}

int ShowRealBox(const QString& text, unsigned buttons) {
  // Without a GUI application there is nobody to ask: give the answer of a dismissed box.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    return TorvaneMessageBoxEscapeAnswer(buttons);
  QMessageBox box(IconFor(buttons & MB_ICONMASK), QStringLiteral("Torvane"), text,
                  ButtonsFor(buttons & MB_TYPEMASK), QApplication::activeWindow());
  const unsigned type = buttons & MB_TYPEMASK;
  if (type == MB_YESNO) box.setEscapeButton(QMessageBox::No);
  if (type == MB_RELOADKEEPCANCEL) {
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Reload"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Keep Mine"));
  }
  return AnswerFor(box.exec(), buttons);
}

} // namespace

int TorvaneMessageBoxEscapeAnswer(unsigned buttons) {
  switch (buttons & MB_TYPEMASK) {
  case MB_OKCANCEL:
  case MB_YESNOCANCEL:
  case MB_RELOADKEEPCANCEL:
    return IDCANCEL;
  case MB_YESNO:
    return IDNO;
  default:
    return IDOK;
  }
}

int TorvaneMessageBox(const QString& text, unsigned buttons) {
  // Copy first: a handler may replace itself while it runs.
  TorvaneMessageBoxHandler handler = CurrentHandler();
  if (handler) return handler(text, buttons);
  return ShowRealBox(text, buttons);
}

TorvaneMessageBoxHandler SetTorvaneMessageBoxHandler(TorvaneMessageBoxHandler handler) {
  TorvaneMessageBoxHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  return previous;
}
