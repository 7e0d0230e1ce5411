#pragma once
#include <cstdint>
#include <string>

#include "search_dialog.h"
#include "text_position.h"

class CTextView;

// The Find dialog (template 8601, "Find"): a search text, whole word, match case and the
// direction. "&Find Next" searches the view from the current position with wrap; a match is
// selected and closes the dialog, a failure shows the message and starts the next try from
// the beginning of the text. The fields are the dialog's data: the caller fills them, runs
// DoModal and reads them back.
class CFindDialog : public CSearchDialog {
  Q_OBJECT

public:
  static constexpr int IDD = 8601;
  static constexpr int IDC_DIRECTION_UP = 8611;
  static constexpr int IDC_DIRECTION_DOWN = 8612;
  static constexpr int IDC_FIND_NEXT = 1; // the default button
  static constexpr int IDC_CANCEL = 2;

  explicit CFindDialog(CTextView* view);

  // Puts the fields into the controls and runs the dialog modally.
  int DoModal();
  // true: controls to fields; false: fields to controls.
  void UpdateData(bool saveAndValidate);
  // The SearchFlags of the fields.
  uint32_t GetSearchFlags() const;

  CTextView* m_view;
  TextPosition m_currentPos; // where the next search starts
  int m_direction = 1;       // 0 = Up, 1 = Down
  bool m_matchCase = false;
  std::string m_text; // bytes
  bool m_wholeWord = false;

private:
  void OnFindNext();
  void UpdateFindNextEnabled();
};
