#pragma once
#include <functional>

#include <QString>

// Buttons and icons of a message box, as the rest of the program names them.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
// Yes, No and Cancel shown as "Reload", "Keep Mine" and "Cancel": a file changed by another
// program, about to be written over.
inline constexpr unsigned MB_RELOADKEEPCANCEL = 0x8;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// The answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using TorvaneMessageBoxHandler = std::function<int(const QString& text, unsigned buttons)>;

// Shows text in a modal box captioned "Torvane" with the buttons (and icon) asked for and
// returns the button chosen. Closing the box without choosing gives IDCANCEL where there is a
// Cancel button, IDNO for Yes/No and IDOK for OK alone.
int TorvaneMessageBox(const QString& text, unsigned buttons = MB_OK);

// Replaces what TorvaneMessageBox does (tests read the text and give the answer); an empty
// handler restores the real box. Returns the handler in force before.
TorvaneMessageBoxHandler SetTorvaneMessageBoxHandler(TorvaneMessageBoxHandler handler);

// The answer a box with these buttons gives when it is closed without a choice.
int TorvaneMessageBoxEscapeAnswer(unsigned buttons);
