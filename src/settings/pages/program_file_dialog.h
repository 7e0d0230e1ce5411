#pragma once
#include <functional>

#include <QString>

class QWidget;

// Asks the user for a program file; returns its full path, or an empty text when the user
// cancelled.
using ProgramFileDialogFunction =
    std::function<QString(QWidget* parent, const QString& title, const QString& startPath)>;

// Replaces the program file dialog (tests answer it); an empty function restores the real
// one. Returns the function in force before.
ProgramFileDialogFunction SetProgramFileDialogFunction(ProgramFileDialogFunction function);

// The file-open dialog of the compiler and interpreter browse buttons, titled title, opening
// beside startPath when that names a file or folder. Its first filter, "Executable Files",
// lists the files the user may run (programs here carry no .exe); "All Files" lists every
// file.
QString ChooseProgramFile(QWidget* parent, const QString& title, const QString& startPath);
