#pragma once
#include "print_layout.h"

class CProfileStore;
class QPrintPreviewDialog;
class QWidget;

// Page Setup's values, kept in "Editor\PageSetup": the margins in hundredths of a millimetre
// (default 10 mm each; a negative one reads as 0), "PrintFontSize" in tenths of a point (0,
// the default: the screen font's size) and "PrintHalfSize" (1: half the screen font's size).
PageSetup ReadPageSetup(const CProfileStore& store);

// The page-setup dialog with the margins and the printed font size to change (paper,
// orientation and layout controls disabled), preset from the store; screenTenthsOfPoint is
// the screen font's size, which "screen size" stands for. OK stores the values; Cancel stores
// nothing. Returns whether the user confirmed. A failed write is reported.
bool RunPageSetup(CProfileStore& store, QWidget* parent, int screenTenthsOfPoint);

// Makes the preview's page-setup button run RunPageSetup and show the pages again with what
// it stored, in place of the platform's dialog on the preview's own printer.
void UsePageSetupInPreview(QPrintPreviewDialog& preview, int screenTenthsOfPoint);
