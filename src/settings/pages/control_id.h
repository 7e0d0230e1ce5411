#pragma once
#include <QString>
#include <QWidget>

// Dialog controls keep their numeric ids as object names, so that code and tests can find
// a control the way the rest of the program names it (1008 is the colour picker, ...).
inline void SetControlId(QWidget* control, int id) { control->setObjectName(QString::number(id)); }

template <typename T>
T* FindControl(const QWidget* dialog, int id) {
  return dialog->findChild<T*>(QString::number(id));
}
