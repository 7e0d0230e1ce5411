#pragma once
#include <QColor>
#include <cstdint>

// Line flags of the lines the last build's errors and warnings name (bits the buffer keeps
// for its users): drawn with a wavy underline.
inline constexpr uint32_t LF_PROBLEM_ERROR = 0x200000;
inline constexpr uint32_t LF_PROBLEM_WARNING = 0x400000;

class QPainter;

// A wavy underline from x = left to x = right (exclusive) whose lowest points lie on y =
// bottom: the mark of a line that a compiler message names.
void PaintSquiggle(QPainter& painter, int left, int right, int bottom, const QColor& colour);

// Half way between two colours (COLORREF 0x00BBGGRR): text drawn in it reads as faded on that
// background, whatever the scheme.
unsigned int BlendColourRefs(unsigned int a, unsigned int b);
