#include "application_icon.h"

#include <QGuiApplication>
#include <QImage>

#include "menu_table.h"

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

namespace {

// Picture `index` of a strip of `size` pictures side by side, with picture `index` of the
// strip drawn at twice the size when that strip has it.
QIcon StripIcon(const QImage& strip, const QImage& doubled, int index, QSize size) {
  QIcon icon(QPixmap::fromImage(strip.copy(QRect(QPoint(index * size.width(), 0), size))));
  const QRect big(QPoint(index * 2 * size.width(), 0), size * 2);
  if (doubled.rect().contains(big)) {
    QPixmap pixmap = QPixmap::fromImage(doubled.copy(big));
    pixmap.setDevicePixelRatio(2);
    icon.addPixmap(pixmap);
  }
  return icon;
}

} // namespace

std::vector<QIcon> ToolbarButtonIcons() {
  InitIconResources();
  const QImage strip(QStringLiteral(":/icons/toolbar_128.png"));
  const QImage doubled(QStringLiteral(":/icons/toolbar_128@2x.png"));
  const QSize size(TOOLBAR_BUTTON_WIDTH, TOOLBAR_BUTTON_HEIGHT);
  std::vector<QIcon> icons;
  for (int index = 0; (index + 1) * size.width() <= strip.width(); ++index)
    icons.push_back(StripIcon(strip, doubled, index, size));
  return icons;
}

QPixmap AboutPicture(qreal ratio) {
  InitIconResources();
  QPixmap picture;
  if (ratio >= 1.5 && picture.load(QStringLiteral(":/icons/about_138@2x.png"))) {
    picture.setDevicePixelRatio(2);
    return picture;
  }
  picture.load(QStringLiteral(":/icons/about_138.png"));
  return picture;
}

void InstallApplicationIcon() {
  QGuiApplication::setWindowIcon(ApplicationIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("torvane"));
}
