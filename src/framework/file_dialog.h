#pragma once
#include <functional>

#include <QString>

class QWidget;

// What a file dialog is asked for. The filter is in the program's form,
// "Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||".
struct FileDialogRequest {
  bool save = false;        // a Save As dialog (else Open)
  QString title;
  QString filter;
  QString defaultExtension; // "inf": added to a typed name that has no extension
  QString initialPath;      // a name or path to start from
};

// What the user chose: empty when the dialog was cancelled. selectedFilter is the index of
// the filter entry in force when the dialog closed.
struct FileDialogAnswer {
  QString path;
  int selectedFilter = 0;
};

using TorvaneFileDialogHandler = std::function<FileDialogAnswer(const FileDialogRequest&)>;

// Shows a modal file dialog over parent (or hands the request to the test handler). The
// default extension is added to a chosen name without one.
FileDialogAnswer TorvaneFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);

// Replaces the dialog (tests answer it); an empty handler restores the real one. Returns the
// handler in force before.
TorvaneFileDialogHandler SetTorvaneFileDialogHandler(TorvaneFileDialogHandler handler);

// The program's filter form as Qt's: "Inform Files (*.inf);;Inform Header Files (*.h);;...".
QString QtFileFilter(const QString& filter);

// path with ".ext" added when its file name has no extension (and ext is not empty).
QString WithDefaultExtension(const QString& path, const QString& extension);
