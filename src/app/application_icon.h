#pragma once
#include <QIcon>

// The weather-vane icon in every size drawn for it (16 to 256 pixels).
QIcon ApplicationIcon();

// Gives the program's windows the icon and tells the desktop which menu entry
// (torvane.desktop) they belong to, so task bars show the entry's name and icon.
void InstallApplicationIcon();
