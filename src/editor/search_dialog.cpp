#include "search_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

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
  // Only what a line of the text can hold: ISO 8859-1 without line breaks or other control
  // characters (tab aside). The editor refuses other characters when they are typed too.
  static const QRegularExpression allowed(QStringLiteral("[\\t\\x{20}-\\x{7E}\\x{80}-\\x{FF}]*"));
  edit->setValidator(new QRegularExpressionValidator(allowed, edit));
  return edit;
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
  if (encoding == TextEncoding::Iso8859_1)
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const std::u16string text = DecodeToUtf16(bytes, encoding);
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void CSearchDialog::ShowNotFoundMessage(std::string_view text) {
  const char* pattern = LoadStringResource(StringId::FIND_NOT_FOUND);
  std::string message = pattern ? pattern : "%s";
  const std::size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, text);
  TorvaneMessageBox(BytesText(message), MB_OK);
}
