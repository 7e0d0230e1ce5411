#pragma once
#include <QWidget>

class CProfileStore;

// One page of the options sheet. Its controls exist from construction, but the page reads
// its settings only the first time it is shown (Create), and the sheet asks only such pages
// to write: a page the user never opened leaves the store alone.
class CPropertyPage : public QWidget {
  Q_OBJECT

public:
  CPropertyPage(CProfileStore& store, QWidget* parent = nullptr);

  // Reads the page's settings, once; later calls do nothing.
  void Create();
  bool IsCreated() const { return m_created; }

  // Writes the page's values to the store. False when a write failed.
  virtual bool OnOK() = 0;

protected:
  // Reads the settings into the page's members and fills the controls.
  virtual void OnInitDialog() = 0;

  CProfileStore& Store() const { return m_store; }

private:
  CProfileStore& m_store;
  bool m_created = false;
};
