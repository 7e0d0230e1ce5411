#include "property_page.h"

CPropertyPage::CPropertyPage(CProfileStore& store, QWidget* parent)
    : QWidget(parent), m_store(store) {}

void CPropertyPage::Create() {
  if (m_created) return;
  m_created = true;
  OnInitDialog();
}
