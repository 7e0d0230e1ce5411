#pragma once
#include <array>

#include "property_page.h"
#include "style_table.h"

class CColorPicker;
class QCheckBox;
class QListWidget;
class QTextEdit;

// The "Editor" page: colour, bold and italic of the ten stored syntax styles (colour indices
// 6 to 15). It edits a copy of the style table's records and writes all ten on OK.
class CColorOptions : public CPropertyPage {
  Q_OBJECT

public:
  static constexpr int IDC_COLOR_PICKER = 1008;
  static constexpr int IDC_SAMPLE = 1029;
  static constexpr int IDC_ITALIC = 1010;
  static constexpr int IDC_BOLD = 1009;
  static constexpr int IDC_STYLE_LIST = 1007;
  static constexpr int IDC_DEFAULT_STYLES = 1011;
  static constexpr int IDC_SHOW_TABS = 1012;

  // styles is read when the page is first shown.
  CColorOptions(CProfileStore& store, const CStyleTable& styles, QWidget* parent = nullptr);

  bool OnOK() override;

protected:
  void OnInitDialog() override;

private:
  static constexpr int STYLE_COUNT = 10;

  // The record of the selected style, or nullptr when nothing is selected.
  StyleRecord* SelectedRecord();
  // Sample text, check boxes and picker follow the selected record.
  void ShowSelectedStyle();
  void OnBoldClicked();
  void OnItalicClicked();
  void OnColorChanged();

  const CStyleTable& m_styleTable;
  CColorPicker* m_colorPicker;
  QTextEdit* m_sample;
  QCheckBox* m_italic;
  QCheckBox* m_bold;
  QListWidget* m_styleList;
  // Records 6 to 15 of the style table, at 0 to 9.
  std::array<StyleRecord, STYLE_COUNT> m_records{};
};
