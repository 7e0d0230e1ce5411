#pragma once
#include <QString>

#include "property_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The "Play" page: what plays stories in the Story bar and replays walkthroughs (a line-mode
// interpreter's path, or empty for the automatic choice; where emglken is installed), the
// screen width, a walkthrough's time limit and whether walkthroughs run after each compile.
// The seed is chosen in the Story bar itself.
class CPlayOptions : public CPropertyPage {
  Q_OBJECT

public:
  static constexpr int IDC_PLAY_INTERPRETER = 1060;
  static constexpr int IDC_PLAY_INTERPRETER_BROWSE = 1061;
  static constexpr int IDC_PLAY_EMGLKEN = 1062;
  static constexpr int IDC_PLAY_EMGLKEN_BROWSE = 1063;
  static constexpr int IDC_PLAY_WIDTH = 1064;
  static constexpr int IDC_PLAY_TIME_LIMIT = 1065;
  static constexpr int IDC_PLAY_AFTER_COMPILE = 1066;
  static constexpr int IDC_PLAY_CHOICE = 1067;

  explicit CPlayOptions(CProfileStore& store, QWidget* parent = nullptr);

  bool OnOK() override;

protected:
  void OnInitDialog() override;

private:
  // Says which interpreter plays with the fields as they stand.
  void ShowChoice();

  QLineEdit* m_interpreterEdit;
  QLineEdit* m_emglkenEdit;
  QSpinBox* m_widthBox;
  QSpinBox* m_timeLimitBox;
  QCheckBox* m_afterCompileBox;
  QLabel* m_choice;
};
