#pragma once
#include <string>
#include <vector>

#include "new_definition.h"

class CEditView;
class CObjectBarDocument;
class CProjectSession;
class QString;
class CTorvaneView;
class QWidget;

// The Insert menu: New Class, New Object, New Room, New Function and New NPC.

// The kind of definition command id writes; false when id is no Insert command.
bool DefinitionKindOfCommand(int id, DefinitionKind& kind);

// Puts text (lines joined by CR LF) into view's text as whole lines, so that its first line
// starts in column 0: before the caret's line when the caret is in column 0, else after that
// line. One undo group; the caret goes to the end of the text. False, changing nothing, when
// the view cannot edit.
bool InsertDefinitionLines(CEditView& view, const std::string& text);

// The library the game of the source at path is written for, as the project model finds it
// (the open project's main file and settings when path is one of its files, else the file's own
// "!%" header and the Library setting): PunyInform, or else the standard library.
InformLibrary LibraryOfSource(const QString& path, const CProjectSession& session);

// Command id on view: asks for the definition (the names that documents define are refused),
// writes it in library's form, and scans view's document again so the trees show it at once.
void RunInsertCommand(int id, CTorvaneView& view, const std::vector<CObjectBarDocument*>& documents,
                      InformLibrary library, QWidget* parent);
