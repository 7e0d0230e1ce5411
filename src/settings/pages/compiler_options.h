#pragma once
#include <QString>

#include "property_page.h"

class QLineEdit;

// The "Compiler/Interpreter" page: the paths of the compiler, the Z-code interpreter, the
// Inform library and the Glulx interpreter, stored as typed. An empty field stands for the path this system offers, which it
// shows as a greyed hint.
class CCompilerOptions : public CPropertyPage {
  Q_OBJECT

public:
  static constexpr int IDC_COMPILER_PATH = 1014;
  static constexpr int IDC_COMPILER_BROWSE = 1015;
  static constexpr int IDC_INTERPRETER_PATH = 1016;
  static constexpr int IDC_INTERPRETER_BROWSE = 1017;
  static constexpr int IDC_LIBRARY_PATH = 1034;
  static constexpr int IDC_LIBRARY_BROWSE = 1035;
  static constexpr int IDC_GLULX_INTERPRETER_PATH = 1046;
  static constexpr int IDC_GLULX_INTERPRETER_BROWSE = 1047;

  explicit CCompilerOptions(CProfileStore& store, QWidget* parent = nullptr);

  bool OnOK() override;

protected:
  void OnInitDialog() override;

private:
  // The members and the edits: a browse button changes one path and must keep what the user
  // typed into the others.
  void TakeControls();
  void PutControls();
  void OnBrowseProgram(const QString& title, QString& path);
  void OnBrowseLibrary();

  QString m_compilerPath;
  QString m_interpreterPath;
  QString m_libraryPath;
  QString m_glulxPath;
  QLineEdit* m_compilerEdit;
  QLineEdit* m_interpreterEdit;
  QLineEdit* m_libraryEdit;
  QLineEdit* m_glulxEdit;
};
