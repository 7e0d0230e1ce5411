#include "color_options.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "color_picker.h"
#include "colouring.h"
#include "control_id.h"
#include "profile_store.h"
#include "settings_keys.h"

CColorOptions::CColorOptions(CProfileStore& store, const CStyleTable& styles, QWidget* parent)
    : CPropertyPage(store, parent), m_styleTable(styles),
      m_colorPicker(new CColorPicker(IDC_COLOR_PICKER)), m_sample(new QTextEdit),
      m_italic(new QCheckBox(tr("&Italic"))), m_bold(new QCheckBox(tr("&Bold"))),
      m_styleList(new QListWidget) {
  SetControlId(m_sample, IDC_SAMPLE);
  SetControlId(m_italic, IDC_ITALIC);
  SetControlId(m_bold, IDC_BOLD);
  SetControlId(m_styleList, IDC_STYLE_LIST);
  m_sample->setReadOnly(true);
  m_sample->setFixedHeight(48);
  m_styleList->setSelectionMode(QAbstractItemView::SingleSelection);

  // Present in the dialog but without any behaviour.
  auto* defaultStyles = new QPushButton(tr("&Default Styles"));
  auto* showTabs = new QCheckBox(tr("&Show Tabs"));
  SetControlId(defaultStyles, IDC_DEFAULT_STYLES);
  SetControlId(showTabs, IDC_SHOW_TABS);
  defaultStyles->setEnabled(false);
  showTabs->setEnabled(false);

  auto* group = new QGroupBox(tr("Syntax Styles"));
  m_styleList->setAccessibleName(group->title()); // the list is the group's one list
  auto* grid = new QGridLayout(group);
  grid->addWidget(m_styleList, 0, 0, 4, 1);
  grid->addWidget(m_colorPicker, 0, 1);
  grid->addWidget(m_bold, 1, 1);
  grid->addWidget(m_italic, 2, 1);
  grid->addWidget(m_sample, 4, 0, 1, 2);
  grid->setRowStretch(3, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(defaultStyles);
  buttons->addWidget(showTabs);
  buttons->addStretch();
  layout->addLayout(buttons);

  connect(m_styleList, &QListWidget::currentRowChanged, this, [this] { ShowSelectedStyle(); });
  connect(m_bold, &QCheckBox::clicked, this, [this] { OnBoldClicked(); });
  connect(m_italic, &QCheckBox::clicked, this, [this] { OnItalicClicked(); });
  connect(m_colorPicker, &CColorPicker::ColorChanged, this, [this] { OnColorChanged(); });
}

void CColorOptions::OnInitDialog() {
  for (int i = 0; i < STYLE_COUNT; ++i) {
    const int index = FIRST_STORED_STYLE + i;
    m_styleList->addItem(QString::fromLatin1(GetColourIndexInfo(index).displayName));
    m_records[i] = m_styleTable.Record(index);
  }
  m_styleList->setCurrentRow(0);
  ShowSelectedStyle();
}

StyleRecord* CColorOptions::SelectedRecord() {
  const int row = m_styleList->currentRow();
  if (row < 0 || row >= STYLE_COUNT) return nullptr;
  return &m_records[row];
}

void CColorOptions::ShowSelectedStyle() {
  const StyleRecord* record = SelectedRecord();
  if (record == nullptr) return;
  m_sample->setPlainText(m_styleList->currentItem()->text());
  QTextCursor cursor(m_sample->document());
  cursor.select(QTextCursor::Document);
  QTextCharFormat format;
  format.setFontPointSize(10);
  format.setForeground(ColorFromColorRef(record->colour));
  format.setFontFamilies({QStringLiteral("Courier New")});
  format.setFontWeight(record->bold != 0 ? QFont::Bold : QFont::Normal);
  format.setFontItalic(record->italic != 0);
  cursor.setCharFormat(format);
  m_sample->setTextCursor(QTextCursor(m_sample->document()));
  m_bold->setChecked(record->bold != 0);
  m_italic->setChecked(record->italic != 0);
  m_colorPicker->SetColor(record->colour);
}

void CColorOptions::OnBoldClicked() {
  if (StyleRecord* record = SelectedRecord()) record->bold = record->bold != 0 ? 0 : 1;
  ShowSelectedStyle();
}

void CColorOptions::OnItalicClicked() {
  if (StyleRecord* record = SelectedRecord()) record->italic = record->italic != 0 ? 0 : 1;
  ShowSelectedStyle();
}

void CColorOptions::OnColorChanged() {
  if (StyleRecord* record = SelectedRecord()) record->colour = m_colorPicker->GetColor();
  ShowSelectedStyle();
}

bool CColorOptions::OnOK() {
  const QString section = QString::fromLatin1(SECTION_STYLES);
  bool written = true;
  for (int i = 0; i < STYLE_COUNT; ++i) {
    const int index = FIRST_STORED_STYLE + i;
    const StyleRecord& record = m_records[i];
    written &= Store().WriteProfileInt(section, StyleBoldValueName(index), record.bold);
    written &= Store().WriteProfileInt(section, StyleItalicValueName(index), record.italic);
    written &= Store().WriteProfileInt(section, StyleColourValueName(index),
                                       static_cast<int32_t>(record.colour));
  }
  return written;
}
