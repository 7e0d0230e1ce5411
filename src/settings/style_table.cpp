#include "style_table.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "colouring.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

// The light desktop colours used when there is no GUI application to ask.
constexpr uint32_t DEFAULT_WINDOW_COLOUR = 0xFFFFFF;
constexpr uint32_t DEFAULT_WINDOW_TEXT_COLOUR = 0x000000;
constexpr uint32_t DEFAULT_SCROLL_BAR_COLOUR = 0xC8C8C8;
constexpr uint32_t SELECTION_BACKGROUND_COLOUR = 0x000000;
constexpr uint32_t SELECTION_TEXT_COLOUR = 0xFFFFFF;

uint32_t ToColorRef(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

struct SystemColours {
  uint32_t window = DEFAULT_WINDOW_COLOUR;
  uint32_t windowText = DEFAULT_WINDOW_TEXT_COLOUR;
  uint32_t scrollBar = DEFAULT_SCROLL_BAR_COLOUR;
  uint32_t selection = SELECTION_BACKGROUND_COLOUR;
  uint32_t selectionText = SELECTION_TEXT_COLOUR;
};

// WCAG relative luminance of a COLORREF, and the contrast of two colours (1 to 21).
double Luminance(uint32_t colour) {
  const auto channel = [](uint32_t value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel((colour >> 8) & 0xFF) +
         0.0722 * channel((colour >> 16) & 0xFF);
}
double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
// Below this a default style colour is hard to read on the desktop's background (dark blue
// on a dark or high-contrast theme); every default reaches it on a light one.
constexpr double MIN_DEFAULT_CONTRAST = 3.0;

SystemColours CurrentSystemColours() {
  SystemColours colours;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    const QPalette palette = QGuiApplication::palette();
    colours.window = ToColorRef(palette.color(QPalette::Active, QPalette::Base));
    colours.windowText = ToColorRef(palette.color(QPalette::Active, QPalette::Text));
    colours.scrollBar = ToColorRef(palette.color(QPalette::Active, QPalette::Button));
    // The desktop's selection: the fixed black and white vanish on a dark theme.
    colours.selection = ToColorRef(palette.color(QPalette::Active, QPalette::Highlight));
    colours.selectionText = ToColorRef(palette.color(QPalette::Active, QPalette::HighlightedText));
  }
  return colours;
}

void SetViewRecords(StyleRecord* records, const SystemColours& colours) {
  records[COLORINDEX_WHITESPACE] = {colours.window, 0, 0};
  records[COLORINDEX_BKGND] = {colours.window, 0, 0};
  records[COLORINDEX_NORMALTEXT] = {colours.windowText, 0, 0};
  records[COLORINDEX_SELMARGIN] = {colours.scrollBar, 0, 0};
  records[COLORINDEX_SELBKGND] = {colours.selection, 0, 0};
  records[COLORINDEX_SELTEXT] = {colours.selectionText, 0, 0};
}

} // namespace

CStyleTable::CStyleTable() {
  SetViewRecords(m_records, SystemColours{});
  for (int i = FIRST_STORED_STYLE; i <= LAST_STORED_STYLE; ++i) {
    const ColourIndexInfo& info = GetColourIndexInfo(i);
    m_records[i] = {info.defaultColour, info.bold ? 1 : 0, info.italic ? 1 : 0};
  }
}

void CStyleTable::LoadStyles(const CProfileStore& store) {
  const SystemColours system = CurrentSystemColours();
  SetViewRecords(m_records, system);
  const QString section = QString::fromLatin1(SECTION_STYLES);
  for (int i = FIRST_STORED_STYLE; i <= LAST_STORED_STYLE; ++i) {
    const ColourIndexInfo& info = GetColourIndexInfo(i);
    StyleRecord& record = m_records[i];
    // A colour the user chose stays; a default that the desktop's background makes hard to
    // read gives way to the desktop's text colour.
    uint32_t fallback = info.defaultColour;
    if (Contrast(fallback, system.window) < MIN_DEFAULT_CONTRAST) fallback = system.windowText;
    record.colour = store.GetProfileInt(section, StyleColourValueName(i), fallback);
    record.italic = static_cast<int>(
        store.GetProfileInt(section, StyleItalicValueName(i), info.italic ? 1u : 0u));
    record.bold =
        static_cast<int>(store.GetProfileInt(section, StyleBoldValueName(i), info.bold ? 1u : 0u));
  }
  NotifyChanged();
}

void CStyleTable::CopyRecords(const CStyleTable& other) {
  for (int i = 0; i < STYLE_COUNT; ++i) m_records[i] = other.m_records[i];
  NotifyChanged();
}

int CStyleTable::AddListener(Listener listener) {
  m_listeners.emplace_back(m_nextHandle, std::move(listener));
  return m_nextHandle++;
}

void CStyleTable::RemoveListener(int handle) {
  std::erase_if(m_listeners, [handle](const auto& entry) { return entry.first == handle; });
}

void CStyleTable::NotifyChanged() {
  // A listener may remove itself or another (a view closing as the styles change): walk
  // the handles of the moment and call only those still listening.
  std::vector<int> handles;
  for (const auto& entry : m_listeners) handles.push_back(entry.first);
  for (int handle : handles) {
    auto it = std::find_if(m_listeners.begin(), m_listeners.end(),
                           [handle](const auto& entry) { return entry.first == handle; });
    if (it != m_listeners.end()) {
      const Listener listener = it->second;
      listener();
    }
  }
}

const CStyleTable& DefaultStyleTable() {
  static const CStyleTable table;
  return table;
}
