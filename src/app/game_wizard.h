#pragma once
#include <QDialog>

#include "game_template.h"

class CDocManager;
class CProjectSession;
class QComboBox;
class QLineEdit;

// The Game Wizard (Project menu): a new game from a template, asking its title, author,
// headline and folder. PunyInform (z3) is offered once a PunyInform folder is chosen.
class CGameWizardDialog : public QDialog {
  Q_OBJECT

public:
  explicit CGameWizardDialog(QWidget* parent = nullptr);

  QLineEdit* TitleEdit() const { return m_title; }
  QLineEdit* AuthorEdit() const { return m_author; }
  QLineEdit* HeadlineEdit() const { return m_headline; }
  QLineEdit* FolderEdit() const { return m_folder; }
  QLineEdit* PunyFolderEdit() const { return m_punyFolder; }
  // "Standard library, Z-code 5", "Standard library, Glulx", then "PunyInform, Z-code 3"
  // while the PunyInform folder holds PunyInform.
  QComboBox* TemplateBox() const { return m_template; }

  GameTemplate Template() const;
  GameDetails Details() const; // ISO 8859-1 bytes, the sources' encoding

  // OK: a title and a folder are needed, and texts a source in ISO 8859-1 can hold.
  void accept() override;

private:
  void OfferTemplates();

  QLineEdit* m_title;
  QLineEdit* m_author;
  QLineEdit* m_headline;
  QLineEdit* m_folder;
  QLineEdit* m_punyFolder;
  QComboBox* m_template;
};

// Runs the wizard: writes the main file (its "!%" header first) and its project file in the
// folder, asking before either replaces a file; makes the project the open one and opens the
// main file. False when cancelled or nothing could be written (the user was told why).
bool RunGameWizard(QWidget* parent, CProjectSession& session, CDocManager& documents);
