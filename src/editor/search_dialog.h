#pragma once
#include <QDialog>
#include <QString>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "text_encoding.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the Find and Replace dialogs share: controls known by their numeric ids (as tests and
// the dialogs' own code name them), the "Fi&nd what:" edit with its two check boxes, and
// the message for a search that found nothing.
class CSearchDialog : public QDialog {
  Q_OBJECT

public:
  static constexpr int IDC_WHOLE_WORD = 8603;
  static constexpr int IDC_MATCH_CASE = 8604;
  static constexpr int IDC_FIND_WHAT = 8605;

  // The control with the given id, or nullptr.
  QWidget* GetDlgItem(int id) const;

  // Shows string 8606 with text (bytes in encoding, shown as its characters) in place of %s,
  // in a box with an OK button.
  static void ShowNotFoundMessage(std::string_view text, TextEncoding encoding = ENC_DEFAULT);
  // The bytes of an edit's text in encoding (characters it cannot hold as '?'), and an
  // edit's text from bytes.
  static std::string TextBytes(const QString& text, TextEncoding encoding = ENC_DEFAULT);
  static QString BytesText(std::string_view bytes, TextEncoding encoding = ENC_DEFAULT);

  // The encoding of the searched text: what the edits' texts are converted with.
  TextEncoding m_encoding = ENC_DEFAULT;

protected:
  CSearchDialog(QWidget* parent, const QString& caption);

  QLineEdit* AddEdit(int id);
  QCheckBox* AddCheck(int id, const QString& text);
  QPushButton* AddButton(int id, const QString& text);
  QRadioButton* AddRadio(int id, const QString& text);
  QLineEdit* FindWhatEdit() const;
  // Lets the edits take the characters of m_encoding (every character in UTF-8), line
  // breaks and other control characters aside (tab is kept).
  void AcceptEncodingInEdits();
  // The radio button checked of the pair (first, second): 0, 1, or -1 for neither.
  int CheckedOf(int first, int second) const;
  void CheckOneOf(int first, int second, int which);

private:
  template <typename W>
  W* Add(int id, W* widget);

  std::map<int, QWidget*> m_items;
  std::vector<QLineEdit*> m_edits;
};
