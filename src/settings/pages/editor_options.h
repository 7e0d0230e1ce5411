#pragma once
#include <QDialog>

class CBuildOptions;
class CPlayOptions;
class CColorOptions;
class CCompilerOptions;
class CProfileStore;
class CPropertyPage;
class CStyleTable;
class QTabWidget;

// The "IDE Options" sheet: tabs "Editor", "Compiler/Interpreter", "Build" and "Play". It opens
// on the first page. OK asks every page the user has shown to write its values; pages never shown
// write nothing. Cancel writes nothing.
class CEditorOptions : public QDialog {
  Q_OBJECT

public:
  // styles gives the Editor page its starting records; store is read and written.
  CEditorOptions(CProfileStore& store, const CStyleTable& styles, QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return m_tabs; }
  CColorOptions* ColorPage() const { return m_colorPage; }
  CCompilerOptions* CompilerPage() const { return m_compilerPage; }
  CBuildOptions* BuildPage() const { return m_buildPage; }

  // Whether an OK (also one whose writes failed in part) made any setting read differently.
  bool SettingsChanged() const { return m_changed; }

  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  CPropertyPage* Page(int tab) const;

  CProfileStore& m_store;
  QTabWidget* m_tabs;
  CColorOptions* m_colorPage;
  CCompilerOptions* m_compilerPage;
  CBuildOptions* m_buildPage;
  CPlayOptions* m_playPage;
  bool m_changed = false;
};

// The options command: runs the sheet modally over store (the user's store when none is
// given) and returns whether any setting changed. The caller reloads its style table and
// repaints its views afterwards, whatever the result, since the desktop's colours may have
// changed too.
bool RunOptionsSheet(QWidget* parent, const CStyleTable& styles, CProfileStore& store);
bool RunOptionsSheet(QWidget* parent, const CStyleTable& styles);
