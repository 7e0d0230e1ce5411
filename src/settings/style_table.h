#pragma once
#include <cstdint>

class CProfileStore;

// One style: colour as COLORREF 0x00BBGGRR, bold and italic flags.
struct StyleRecord {
  uint32_t colour = 0;
  int bold = 0;
  int italic = 0;
};

// The 16 style records indexed by colour index, held by the application and read by every
// editor view. A new table holds the defaults (light system colours for 0-5), so views work
// before any store is read.
class CStyleTable {
public:
  static constexpr int STYLE_COUNT = 16;

  CStyleTable();

  const StyleRecord& Record(int index) const { return m_records[index]; }
  StyleRecord& Record(int index) { return m_records[index]; }
  uint32_t GetColour(int index) const { return m_records[index].colour; }
  bool IsBold(int index) const { return m_records[index].bold != 0; }
  bool IsItalic(int index) const { return m_records[index].italic != 0; }

  // Records 0-5 from the system colours (the application palette when there is a GUI
  // application, light defaults otherwise), 6-15 from "Editor\Styles" with their defaults.
  void LoadStyles(const CProfileStore& store);

private:
  StyleRecord m_records[STYLE_COUNT];
};

// The application's style table (one per process), which the editor views read.
CStyleTable& TheStyleTable();
