#pragma once
#include <QDialog>
#include <QStringList>
#include <functional>
#include <string_view>

#include "new_definition.h"

class QComboBox;
class QLineEdit;

// The small dialog of the Insert menu: the new definition's name and, where the kind has
// them, its short name, parent and class. OK checks them (an Inform name, not one already
// defined) and refuses with a message that names what is wrong; the dialog stays open.
class CNewDefinitionDialog : public QDialog {
  Q_OBJECT

public:
  // objects and classes: offered in the parent and class lists. known(name): whether name is
  // defined already.
  CNewDefinitionDialog(DefinitionKind kind, const QStringList& objects, const QStringList& classes,
                       std::function<bool(std::string_view)> known, QWidget* parent = nullptr);

  // The definition as the fields say now: the short name in ISO 8859-1, the sources' encoding.
  NewDefinition Definition() const;
  QLineEdit* NameEdit() const { return m_name; }
  QLineEdit* ShortNameEdit() const { return m_shortName; } // null when the kind has none
  QComboBox* ParentBox() const { return m_parent; }        // null when the kind has none
  QComboBox* ClassBox() const { return m_class; }          // null when the kind has none

  void accept() override;

private:
  DefinitionKind m_kind;
  std::function<bool(std::string_view)> m_known;
  QLineEdit* m_name;
  QLineEdit* m_shortName = nullptr;
  QComboBox* m_parent = nullptr;
  QComboBox* m_class = nullptr;
};
