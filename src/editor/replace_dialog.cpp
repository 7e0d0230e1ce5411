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

#include <algorithm>
#include <vector>

#include "edit_view.h"
#include "line_replacer.h"
#include "message_box.h"
#include "string_table.h"

namespace {

// The nearest place inside the view's text.
TextPosition ClampToText(const CTextView& view, TextPosition p) {
  if (p.y < 0) return TextPosition(0, 0);
  const int last = view.GetLineCount() - 1;
  if (p.y > last) return TextPosition(view.GetLineLength(last), last);
  return TextPosition(std::clamp(p.x, 0, view.GetLineLength(p.y)), p.y);
}

} // namespace

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
  AcceptEncodingInEdits();
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
    m_text = TextBytes(FindWhatEdit()->text(), m_encoding);
    m_replaceWith = TextBytes(replaceWith->text(), m_encoding);
    m_wholeWord = wholeWord->isChecked();
    m_matchCase = matchCase->isChecked();
    m_scope = CheckedOf(IDC_SCOPE_SELECTION, IDC_SCOPE_WHOLE_FILE);
  } else {
    FindWhatEdit()->setText(BytesText(m_text, m_encoding));
    replaceWith->setText(BytesText(m_replaceWith, m_encoding));
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
  if (!FindNextMatch()) ShowNotFoundMessage(m_text, m_encoding);
}

void CReplaceDialog::MovePastReplacement(TextPosition start, TextPosition end,
                                         TextPosition after) {
  // The range follows the text it was laid over: past the replacement, and down by the lines
  // it brought (the scope, too, in case it is taken up again).
  for (TextPosition* bound : {&m_rangeStart, &m_rangeEnd})
    MoveAcrossReplacement(*bound, start, end, after);
  m_foundPos = after;
}

std::vector<int> CReplaceDialog::PushedColumns(int line) const {
  std::vector<int> columns;
  if (!m_view->IsSelectionPushed()) return columns;
  TextPosition start, end;
  m_view->GetPushedSelection(start, end);
  for (TextPosition p : {start, end})
    if (p.y == line) columns.push_back(p.x);
  return columns;
}

void CReplaceDialog::ShowReplacedMessage(int count) {
  if (count == 1) {
    TorvaneMessageBox(QString::fromLatin1(LoadStringResource(StringId::REPLACED_ONE)), MB_OK);
    return;
  }
  const char* pattern = LoadStringResource(StringId::REPLACED_MANY);
  TorvaneMessageBox(QString::fromLatin1(pattern ? pattern : "%1").arg(count), MB_OK);
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
  TextPosition start, end;
  m_view->GetSelectionBounds(start, end);
  if (m_found && m_view->ReplaceSelection(m_replaceWith))
    MovePastReplacement(start, end, m_view->GetCursorPosition());
  else if (!m_found)
    m_foundPos = m_currentPos;
  HighlightNextMatch();
}

void CReplaceDialog::OnReplaceAll() {
  UpdateData(true);
  if (!m_found) m_foundPos = m_currentPos;
  CTextBuffer* buffer = m_view->GetBuffer();
  buffer->OpenUndoGroup(false);
  TextPosition lastStart, lastEnd;
  const int count = ReplaceEveryMatch(lastStart, lastEnd);
  // Only the last replacement is selected and scrolled to: the window moves once.
  if (count > 0) m_view->SelectReplacement(lastStart, lastEnd);
  buffer->CloseUndoGroup(count > 0 ? m_view : nullptr);
  m_found = false;
  m_currentPos = m_scope == 0 ? m_rangeStart : TextPosition(0, 0);
  if (count == 0)
    ShowNotFoundMessage(m_text, m_encoding);
  else
    ShowReplacedMessage(count);
}

int CReplaceDialog::ReplaceEveryMatch(TextPosition& lastStart, TextPosition& lastEnd) {
  CLineReplacer replacer(m_text, GetSearchFlags(), m_replaceWith, m_view->GetBuffer()->Encoding());
  const bool inRange = m_scope == 0;
  if (inRange) {
    m_rangeStart = ClampToText(*m_view, m_rangeStart);
    m_rangeEnd = ClampToText(*m_view, m_rangeEnd);
    if (m_rangeEnd < m_rangeStart) std::swap(m_rangeStart, m_rangeEnd);
  }
  if (replacer.IsEmpty() || (inRange && m_rangeStart == m_rangeEnd)) return 0;
  TextPosition pos = ClampToText(*m_view, m_foundPos);
  if (inRange) pos = std::clamp(pos, m_rangeStart, m_rangeEnd);

  // The deletions are named Replace too: the group is undone as "Replace". Each line's
  // matches are replaced in one change; the scan goes on after the replacement, where the
  // rest of the line now stands (on a later line when the replacement holds line breaks).
  int count = 0;
  while (pos.y < m_view->GetLineCount() && (!inRange || pos.y <= m_rangeEnd.y)) {
    const int length = m_view->GetLineLength(pos.y);
    const int to = inRange && pos.y == m_rangeEnd.y ? m_rangeEnd.x : length;
    const std::vector<int> keep = PushedColumns(pos.y);
    if (!replacer.Build(m_view->GetLineText(pos.y), length, pos.x, to, keep)) {
      pos = TextPosition(0, pos.y + 1);
      continue;
    }
    const TextPosition start(replacer.Start(), pos.y), end(replacer.End(), pos.y);
    TextPosition after;
    if (!m_view->ReplaceRange(start, end, replacer.Text(), UndoAction::Replace, after)) break;
    count += replacer.Count();
    lastStart = PositionAfterText(
        start, std::string_view(replacer.Text()).substr(0, std::size_t(replacer.LastOffset())));
    lastEnd = after;
    MovePastReplacement(start, end, after);
    pos = after;
  }
  return count;
}
