#pragma once
#include "print_layout.h"

class CProfileStore;
class QWidget;

// The page margins of printing, kept in "Editor\PageSetup" in hundredths of a millimetre
// (default 10 mm each). A negative stored margin reads as 0.
PrintMargins ReadPrintMargins(const CProfileStore& store);

// The page-setup dialog with only its margins to change (paper, orientation and layout
// controls disabled), preset from the store. OK stores all four margins; Cancel stores
// nothing. Returns whether the user confirmed. A failed write is reported.
bool RunPageSetup(CProfileStore& store, QWidget* parent);
