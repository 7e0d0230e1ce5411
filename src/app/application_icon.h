#pragma once
#include <QIcon>
#include <QPixmap>
#include <vector>

// The weather-vane icon in every size drawn for it (16 to 256 pixels).
QIcon ApplicationIcon();

// Gives the program's windows the icon and tells the desktop which menu entry
// (torvane.desktop) they belong to, so task bars show the entry's name and icon.
void InstallApplicationIcon();

// The toolbar's drawn buttons (16 x 15) in toolbar order, separators skipped, each with its
// drawing at twice the size, which Qt picks on a screen of two device pixels per pixel;
// empty when the strip is missing.
std::vector<QIcon> ToolbarButtonIcons();

// The About box picture, 96 x 96 pixels, for a screen of `ratio` device pixels per pixel:
// from ratio 1.5 up the drawing at 192 x 192 (of device pixel ratio 2).
QPixmap AboutPicture(qreal ratio);
