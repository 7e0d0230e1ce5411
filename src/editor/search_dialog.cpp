#include "search_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "line_text.h"
#include "message_box.h"
#include "string_table.h"

CSearchDialog::CSearchDialog(QWidget* parent, const QString& caption) : QDialog(parent) {
  setWindowTitle(caption);
  setModal(true);
}

QWidget* CSearchDialog::GetDlgItem(int id) const {
  const auto it = m_items.find(id);
  return it == m_items.end() ? nullptr : it->second;
}

template <typename W>
W* CSearchDialog::Add(int id, W* widget) {
  m_items[id] = widget;
  return widget;
}

QLineEdit* CSearchDialog::AddEdit(int id) {
  auto* edit = Add(id, new QLineEdit(this));
  edit->setValidator(new QRegularExpressionValidator(edit));
  m_edits.push_back(edit);
  AcceptEncodingInEdits();
  return edit;
}

void CSearchDialog::AcceptEncodingInEdits() {
  // Only what a line of the text can hold. The editor refuses other characters when they
  // are typed too.
  QString allowed = QStringLiteral("[^\\x{0}-\\x{8}\\x{A}-\\x{1F}\\x{7F}]*");
  if (m_encoding != TextEncoding::Utf8) {
    QString set = QStringLiteral("\\t\\x{20}-\\x{7E}");
    for (int b = 0x80; b <= 0xFF; ++b) {
      const char byte = static_cast<char>(b);
      const CharUnit unit = UnitAt(std::string_view(&byte, 1), 0, m_encoding);
      if (!unit.escape) set += QStringLiteral("\\x{%1}").arg(static_cast<uint>(unit.code), 0, 16);
    }
    allowed = QStringLiteral("[%1]*").arg(set);
  }
  for (QLineEdit* edit : m_edits)
    if (auto* validator = qobject_cast<QRegularExpressionValidator*>(const_cast<QValidator*>(edit->validator())))
      validator->setRegularExpression(QRegularExpression(allowed));
}

QCheckBox* CSearchDialog::AddCheck(int id, const QString& text) {
  return Add(id, new QCheckBox(text, this));
}

QPushButton* CSearchDialog::AddButton(int id, const QString& text) {
  auto* button = Add(id, new QPushButton(text, this));
  button->setAutoDefault(false);
  return button;
}

QRadioButton* CSearchDialog::AddRadio(int id, const QString& text) {
  return Add(id, new QRadioButton(text, this));
}

QLineEdit* CSearchDialog::FindWhatEdit() const {
  return static_cast<QLineEdit*>(GetDlgItem(IDC_FIND_WHAT));
}

int CSearchDialog::CheckedOf(int first, int second) const {
  if (static_cast<QRadioButton*>(GetDlgItem(first))->isChecked()) return 0;
  if (static_cast<QRadioButton*>(GetDlgItem(second))->isChecked()) return 1;
  return -1;
}

void CSearchDialog::CheckOneOf(int first, int second, int which) {
  auto* a = static_cast<QRadioButton*>(GetDlgItem(first));
  auto* b = static_cast<QRadioButton*>(GetDlgItem(second));
  // The pair shares a parent, so Qt keeps one checked; "neither" needs the exclusivity off.
  a->setAutoExclusive(false);
  b->setAutoExclusive(false);
  a->setChecked(which == 0);
  b->setChecked(which == 1);
  a->setAutoExclusive(true);
  b->setAutoExclusive(true);
}

std::string CSearchDialog::TextBytes(const QString& text, TextEncoding encoding) {
  std::string bytes;
  EncodeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<std::size_t>(text.size())),
              encoding, bytes);
  return bytes;
}

QString CSearchDialog::BytesText(std::string_view bytes, TextEncoding encoding) {
  return DecodedQString(bytes, encoding);
}

void CSearchDialog::ShowNotFoundMessage(std::string_view text, TextEncoding encoding) {
  const char* pattern = LoadStringResource(StringId::FIND_NOT_FOUND);
  QString message = QString::fromLatin1(pattern ? pattern : "%s");
  const qsizetype at = message.indexOf(QLatin1String("%s"));
  if (at >= 0) message.replace(at, 2, BytesText(text, encoding));
  TorvaneMessageBox(message, MB_OK);
}
