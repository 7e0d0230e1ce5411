#pragma once
#include <cstdint>
#include <functional>
#include <vector>

class CProfileStore;

// One style: colour as COLORREF 0x00BBGGRR, bold and italic flags.
struct StyleRecord {
  uint32_t colour = 0;
  int bold = 0;
  int italic = 0;
};

// The 16 style records indexed by colour index, held by the application and read by every
// editor view, which listens for changes to repaint. A new table holds the defaults (light
// system colours for 0-5), so views work before any store is read.
class CStyleTable {
public:
  static constexpr int STYLE_COUNT = 16;

  CStyleTable();
  // A copy has the records, not the listeners.
  CStyleTable(const CStyleTable& other) : CStyleTable() { CopyRecords(other); }
  CStyleTable& operator=(const CStyleTable& other) {
    CopyRecords(other);
    return *this;
  }

  const StyleRecord& Record(int index) const { return m_records[index]; }
  StyleRecord& Record(int index) { return m_records[index]; }
  uint32_t GetColour(int index) const { return m_records[index].colour; }
  bool IsBold(int index) const { return m_records[index].bold != 0; }
  bool IsItalic(int index) const { return m_records[index].italic != 0; }

  // Records 0-5 from the system colours (the application palette when there is a GUI
  // application, light defaults otherwise; the selection is the palette's highlight),
  // 6-15 from "Editor\Styles" with their defaults. A default colour that is hard to read on
  // the background (contrast below 3:1) is the window-text colour instead. Tells the
  // listeners afterwards.
  void LoadStyles(const CProfileStore& store);

  // Listeners hear of every change made through LoadStyles or NotifyChanged (after a change
  // made through Record). AddListener returns the handle RemoveListener takes.
  using Listener = std::function<void()>;
  int AddListener(Listener listener);
  void RemoveListener(int handle);
  void NotifyChanged();

private:
  void CopyRecords(const CStyleTable& other);

  StyleRecord m_records[STYLE_COUNT];
  std::vector<std::pair<int, Listener>> m_listeners;
  int m_nextHandle = 1;
};

// The defaults, for views that no application table was given to.
const CStyleTable& DefaultStyleTable();
