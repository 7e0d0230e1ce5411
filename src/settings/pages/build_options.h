#pragma once
#include <QString>

#include "compiler_probe.h"
#include "property_page.h"

class QButtonGroup;
class QLabel;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

// The "Build" page: the standard compiler switches as a bit set, the story version, and the
// additional switches, kept as one text in which every switch ends with "|". Switches the
// installed compiler does not know are shown as unavailable, with the reason: compiles leave
// them out.
class CBuildOptions : public CPropertyPage {
  Q_OBJECT

public:
  static constexpr int IDC_DEBUG = 1018;
  static constexpr int IDC_USE_MODULES = 1019;
  static constexpr int IDC_CONTRACT_DOUBLE_SPACES = 1020;
  static constexpr int IDC_LIST_OBJECTS = 1021;
  static constexpr int IDC_STATISTICS = 1022;
  static constexpr int IDC_SWITCH_LIST = 1024;
  static constexpr int IDC_Z5 = 1037;
  static constexpr int IDC_Z8 = 1038;
  static constexpr int IDC_NEW_OPTION = 1041;
  static constexpr int IDC_ADD = 1042;
  static constexpr int IDC_DELETE_OPTION = 1043;

  explicit CBuildOptions(CProfileStore& store, QWidget* parent = nullptr);

  bool OnOK() override;

protected:
  void OnInitDialog() override;

private:
  void TakeControls();
  void PutControls();
  void OnSwitchClicked();
  void OnOutputClicked();
  void OnAdd();
  void OnDeleteOption();
  // The list keeps its entries in alphabetical order, whatever order they were added in.
  void AddToList(const QString& entry);
  // Greys what m_facts says the compiler does not know and says why under the switches.
  void ShowUnknownSwitches();

  // Check boxes, 0 or 1.
  int m_debug = 0;
  int m_useModules = 0;
  int m_statistics = 0;
  int m_contractDoubleSpaces = 0;
  int m_listObjects = 0;
  int m_outputChoice = 0; // 0 = .z5, 1 = .z8
  QString m_newOption;
  // What OK writes: "z5", "StandardOptions", "UserDefOptions".
  int m_z5Value = 1;
  int m_switchBits = 3;
  QString m_optionString;

  QCheckBox* m_debugBox;
  QCheckBox* m_useModulesBox;
  QCheckBox* m_statisticsBox;
  QCheckBox* m_contractDoubleSpacesBox;
  QCheckBox* m_listObjectsBox;
  QRadioButton* m_z5Radio;
  QRadioButton* m_z8Radio;
  QLineEdit* m_newOptionEdit;
  QListWidget* m_switchList;
  QLabel* m_unknownNote;
  CompilerFacts m_facts; // of the compiler in use when the page opened
};
