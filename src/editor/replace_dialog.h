#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "search_dialog.h"
#include "text_position.h"

class CEditView;

// The Replace dialog (template 8602, "Replace"): search text, replacement, whole word, match
// case and the scope (the selection the dialog opened with, or the whole file). "&Find
// Next" selects the next match, "&Replace" replaces the selected match and selects the next,
// "Replace &All" replaces every match from there on. Searches never wrap; a search that
// fails shows the message and starts the next one from the beginning of the scope.
//
// Replace All is one undo group, so that one Undo takes all of it back (a single "&Replace"
// keeps the two groups of ReplaceSelection). The fields are the dialog's data: the caller
// fills them, runs DoModal and reads them back.
class CReplaceDialog : public CSearchDialog {
  Q_OBJECT

public:
  static constexpr int IDD = 8602;
  static constexpr int IDC_REPLACE = 8607;
  static constexpr int IDC_REPLACE_ALL = 8608;
  static constexpr int IDC_REPLACE_WITH = 8609;
  static constexpr int IDC_FIND_NEXT = 8610;
  static constexpr int IDC_SCOPE_SELECTION = 8613;
  static constexpr int IDC_SCOPE_WHOLE_FILE = 8614;
  static constexpr int IDC_CANCEL = 2;

  explicit CReplaceDialog(CEditView* view);

  // Puts the fields into the controls and runs the dialog modally.
  int DoModal();
  // true: controls to fields; false: fields to controls.
  void UpdateData(bool saveAndValidate);
  // The SearchFlags of match case and whole word (the search always goes down).
  uint32_t GetSearchFlags() const;
  // Closing without a button (Escape, the window's close box) reads the controls as Cancel
  // does, so that what was last shown is what the caller stores.
  void reject() override;

  CEditView* m_view;
  bool m_found = false;    // the last search succeeded and its match is selected
  TextPosition m_foundPos; // where the next search starts
  bool m_selectionScopeAvailable = true;
  TextPosition m_currentPos;
  TextPosition m_rangeStart; // the selection the dialog opened with
  TextPosition m_rangeEnd;
  bool m_matchCase = false;
  bool m_wholeWord = false;
  std::string m_text;        // bytes
  std::string m_replaceWith; // bytes
  int m_scope = -1;          // 0 = Selection, 1 = Whole file

private:
  void OnFindNext();
  void OnReplace();
  void OnReplaceAll();
  // Searches from the found position inside the scope, without wrap.
  bool SearchScope(TextPosition& found) const;
  // SearchScope, and the match is selected; on failure the next search starts at the
  // beginning of the scope. No message.
  bool FindNextMatch();
  // FindNextMatch, with the message when it fails.
  void HighlightNextMatch();
  // After [start, end) was replaced by text ending at after: the next search starts at
  // after, and the range bounds follow the text they stood at.
  void MovePastReplacement(TextPosition start, TextPosition end, TextPosition after);
  // Replaces every match from the found position to the end of the scope; the count, and
  // where the last replacement lies.
  int ReplaceEveryMatch(TextPosition& lastStart, TextPosition& lastEnd);
  // The columns on line of the selection the view keeps while the dialog is open.
  std::vector<int> PushedColumns(int line) const;
  static void ShowReplacedMessage(int count);
  void UpdateFindNextEnabled();
};
