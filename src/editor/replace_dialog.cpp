#include "replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "edit_view.h"

CReplaceDialog::CReplaceDialog(CEditView* view)
    : CSearchDialog(view, QStringLiteral("Replace")), m_view(view) {
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
  QLineEdit* findWhat = AddEdit(IDC_FIND_WHAT);
  findLabel->setBuddy(findWhat);
  auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
  QLineEdit* replaceWith = AddEdit(IDC_REPLACE_WITH);
  replaceLabel->setBuddy(replaceWith);
  QCheckBox* wholeWord = AddCheck(IDC_WHOLE_WORD, QStringLiteral("Match &whole word only"));
  QCheckBox* matchCase = AddCheck(IDC_MATCH_CASE, QStringLiteral("Match &case"));
  auto* scope = new QGroupBox(QStringLiteral("Replace in"), this);
  auto* scopeColumn = new QVBoxLayout(scope);
  scopeColumn->addWidget(AddRadio(IDC_SCOPE_SELECTION, QStringLiteral("&Selection")));
  scopeColumn->addWidget(AddRadio(IDC_SCOPE_WHOLE_FILE, QStringLiteral("Wh&ole file")));
  QPushButton* findNext = AddButton(IDC_FIND_NEXT, QStringLiteral("&Find Next"));
  findNext->setDefault(true);
  QPushButton* replace = AddButton(IDC_REPLACE, QStringLiteral("&Replace"));
  QPushButton* replaceAll = AddButton(IDC_REPLACE_ALL, QStringLiteral("Replace &All"));
  QPushButton* cancel = AddButton(IDC_CANCEL, QStringLiteral("Cancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(findWhat, 0, 1, 1, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replaceWith, 1, 1, 1, 2);
  auto* checks = new QVBoxLayout;
  checks->addWidget(wholeWord);
  checks->addWidget(matchCase);
  checks->addStretch();
  grid->addLayout(checks, 2, 0, 1, 2);
  grid->addWidget(scope, 2, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {findNext, replace, replaceAll, cancel}) buttons->addWidget(button);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 3, 1);

  connect(findWhat, &QLineEdit::textChanged, this, [this] { UpdateFindNextEnabled(); });
  connect(findNext, &QPushButton::clicked, this, [this] { OnFindNext(); });
  connect(replace, &QPushButton::clicked, this, [this] { OnReplace(); });
  connect(replaceAll, &QPushButton::clicked, this, [this] { OnReplaceAll(); });
  connect(cancel, &QPushButton::clicked, this, &CReplaceDialog::reject);
}

int CReplaceDialog::DoModal() {
  m_found = false;
  UpdateData(false);
  GetDlgItem(IDC_SCOPE_SELECTION)->setEnabled(m_selectionScopeAvailable);
  UpdateFindNextEnabled();
  FindWhatEdit()->selectAll();
  return exec();
}

void CReplaceDialog::UpdateData(bool saveAndValidate) {
  auto* replaceWith = static_cast<QLineEdit*>(GetDlgItem(IDC_REPLACE_WITH));
  auto* wholeWord = static_cast<QCheckBox*>(GetDlgItem(IDC_WHOLE_WORD));
  auto* matchCase = static_cast<QCheckBox*>(GetDlgItem(IDC_MATCH_CASE));
  if (saveAndValidate) {
    m_text = TextBytes(FindWhatEdit()->text());
    m_replaceWith = TextBytes(replaceWith->text());
    m_wholeWord = wholeWord->isChecked();
    m_matchCase = matchCase->isChecked();
    m_scope = CheckedOf(IDC_SCOPE_SELECTION, IDC_SCOPE_WHOLE_FILE);
  } else {
    FindWhatEdit()->setText(BytesText(m_text));
    replaceWith->setText(BytesText(m_replaceWith));
    wholeWord->setChecked(m_wholeWord);
    matchCase->setChecked(m_matchCase);
    CheckOneOf(IDC_SCOPE_SELECTION, IDC_SCOPE_WHOLE_FILE, m_scope);
  }
}

uint32_t CReplaceDialog::GetSearchFlags() const {
  return (m_matchCase ? SearchMatchCase : 0u) | (m_wholeWord ? SearchWholeWord : 0u);
}

void CReplaceDialog::reject() {
  UpdateData(true);
  QDialog::reject();
}

void CReplaceDialog::UpdateFindNextEnabled() {
  GetDlgItem(IDC_FIND_NEXT)->setEnabled(!FindWhatEdit()->text().isEmpty());
}

bool CReplaceDialog::SearchScope(TextPosition& found) const {
  if (m_scope == 0)
    return m_view->SearchTextInRange(m_text, m_foundPos, m_rangeStart, m_rangeEnd,
                                     GetSearchFlags(), false, found);
  return m_view->SearchText(m_text, m_foundPos, GetSearchFlags(), false, found);
}

bool CReplaceDialog::FindNextMatch() {
  TextPosition found;
  m_found = SearchScope(found);
  if (m_found) {
    m_foundPos = found;
    m_view->SelectFoundText(found, static_cast<int>(m_text.size()));
  } else {
    m_currentPos = m_scope == 0 ? m_rangeStart : TextPosition(0, 0);
  }
  return m_found;
}

void CReplaceDialog::HighlightNextMatch() {
  if (!FindNextMatch()) ShowNotFoundMessage(m_text);
}

void CReplaceDialog::MovePastReplacement() {
  const int delta = static_cast<int>(m_replaceWith.size()) - static_cast<int>(m_text.size());
  if (m_selectionScopeAvailable) {
    // Text after the match on its line moved by delta; the range must move with it.
    for (TextPosition* bound : {&m_rangeStart, &m_rangeEnd})
      if (bound->y == m_foundPos.y && bound->x > m_foundPos.x) bound->x += delta;
  }
  m_foundPos.x += static_cast<int>(m_replaceWith.size());
}

void CReplaceDialog::OnFindNext() {
  UpdateData(true);
  if (m_found)
    ++m_foundPos.x;
  else
    m_foundPos = m_currentPos;
  HighlightNextMatch();
}

void CReplaceDialog::OnReplace() {
  UpdateData(true);
  if (m_found && m_view->ReplaceSelection(m_replaceWith))
    MovePastReplacement();
  else if (!m_found)
    m_foundPos = m_currentPos;
  HighlightNextMatch();
}

void CReplaceDialog::OnReplaceAll() {
  UpdateData(true);
  if (!m_found) {
    m_foundPos = m_currentPos;
    if (!FindNextMatch()) {
      ShowNotFoundMessage(m_text);
      return;
    }
  }
  CTextBuffer* buffer = m_view->GetBuffer();
  buffer->OpenUndoGroup(false);
  // The deletions are named Replace too: the group is undone as "Replace". The match found
  // is replaced as the selection; the ones after it are replaced where they are found, and
  // only the last replacement is selected.
  TextPosition start = m_foundPos;
  if (m_view->ReplaceSelection(m_replaceWith, UndoAction::Replace)) {
    TextPosition end = m_view->GetCursorPosition();
    for (;;) {
      MovePastReplacement();
      TextPosition found;
      if (!SearchScope(found)) break;
      const TextPosition matchEnd(found.x + static_cast<int>(m_text.size()), found.y);
      if (!m_view->ReplaceRange(found, matchEnd, m_replaceWith, UndoAction::Replace, end)) break;
      start = m_foundPos = found;
    }
    m_view->SelectReplacement(start, end);
  }
  buffer->CloseUndoGroup(m_view);
  m_found = false;
  m_currentPos = m_scope == 0 ? m_rangeStart : TextPosition(0, 0);
  ShowNotFoundMessage(m_text);
}
