#pragma once
// Shared pieces of the application tests: files in a temporary folder and pixels of a view.
#include <QColor>
#include <QImage>
#include <QString>
#include <string>

#include "text_view.h"

namespace apptest {

// Writes bytes to path; false when it cannot.
bool WriteFile(const QString& path, const std::string& bytes);
std::string ReadFile(const QString& path);

// Pixels of the part of image covering the cells [first, last) of line, in the view's grid.
QRect CellsRect(CCrystalTextView& view, int line, int first, int last);
// How many pixels of image inside rect have exactly colour.
int CountColour(const QImage& image, const QRect& rect, const QColor& colour);

} // namespace apptest
