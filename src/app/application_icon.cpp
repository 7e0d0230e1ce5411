#include "application_icon.h"

#include <QGuiApplication>

// The icons live in the resources library; a static library's resources are registered by
// hand before the first look-up.
static void InitIconResources() { Q_INIT_RESOURCE(resources); }

QIcon ApplicationIcon() {
  InitIconResources();
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/torvane_%1.png").arg(size), QSize(size, size));
  return icon;
}

void InstallApplicationIcon() {
  QGuiApplication::setWindowIcon(ApplicationIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("torvane"));
}
