#include "find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text_view.h"

CFindDialog::CFindDialog(CTextView* view)
    : CSearchDialog(view, QStringLiteral("Find")), m_view(view) {
  auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
  QLineEdit* edit = AddEdit(IDC_FIND_WHAT);
  label->setBuddy(edit);
  QCheckBox* wholeWord = AddCheck(IDC_WHOLE_WORD, QStringLiteral("Match &whole word only"));
  QCheckBox* matchCase = AddCheck(IDC_MATCH_CASE, QStringLiteral("Match &case"));
  auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
  auto* directionRow = new QHBoxLayout(direction);
  directionRow->addWidget(AddRadio(IDC_DIRECTION_UP, QStringLiteral("&Up")));
  directionRow->addWidget(AddRadio(IDC_DIRECTION_DOWN, QStringLiteral("&Down")));
  QPushButton* findNext = AddButton(IDC_FIND_NEXT, QStringLiteral("&Find Next"));
  findNext->setDefault(true);
  QPushButton* cancel = AddButton(IDC_CANCEL, QStringLiteral("Cancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(edit, 0, 1, 1, 2);
  auto* checks = new QVBoxLayout;
  checks->addWidget(wholeWord);
  checks->addWidget(matchCase);
  checks->addStretch();
  grid->addLayout(checks, 1, 0, 1, 2);
  grid->addWidget(direction, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findNext);
  buttons->addWidget(cancel);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 2, 1);

  connect(edit, &QLineEdit::textChanged, this, [this] { UpdateFindNextEnabled(); });
  connect(findNext, &QPushButton::clicked, this, [this] { OnFindNext(); });
  // Cancel leaves the fields as the dialog opened with them.
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CFindDialog::DoModal() {
  AcceptEncodingInEdits();
  UpdateData(false);
  UpdateFindNextEnabled();
  FindWhatEdit()->selectAll();
  return exec();
}

void CFindDialog::UpdateData(bool saveAndValidate) {
  auto* wholeWord = static_cast<QCheckBox*>(GetDlgItem(IDC_WHOLE_WORD));
  auto* matchCase = static_cast<QCheckBox*>(GetDlgItem(IDC_MATCH_CASE));
  if (saveAndValidate) {
    m_text = TextBytes(FindWhatEdit()->text(), m_encoding);
    m_wholeWord = wholeWord->isChecked();
    m_matchCase = matchCase->isChecked();
    m_direction = CheckedOf(IDC_DIRECTION_UP, IDC_DIRECTION_DOWN);
  } else {
    FindWhatEdit()->setText(BytesText(m_text, m_encoding));
    wholeWord->setChecked(m_wholeWord);
    matchCase->setChecked(m_matchCase);
    CheckOneOf(IDC_DIRECTION_UP, IDC_DIRECTION_DOWN, m_direction);
  }
}

uint32_t CFindDialog::GetSearchFlags() const {
  return (m_matchCase ? SearchMatchCase : 0u) | (m_wholeWord ? SearchWholeWord : 0u) |
         (m_direction == 0 ? SearchUp : 0u);
}

void CFindDialog::UpdateFindNextEnabled() {
  GetDlgItem(IDC_FIND_NEXT)->setEnabled(!FindWhatEdit()->text().isEmpty());
}

void CFindDialog::OnFindNext() {
  UpdateData(true);
  const uint32_t flags = GetSearchFlags();
  const TextPosition start =
      (flags & SearchUp) ? m_view->UpwardSearchStart(m_currentPos) : m_currentPos;
  TextPosition found;
  if (m_view->SearchText(m_text, start, flags, true, found)) {
    m_view->SelectFoundText(found, static_cast<int>(m_text.size()));
    accept();
    return;
  }
  ShowNotFoundMessage(m_text, m_encoding);
  m_currentPos = TextPosition(0, 0);
}
