#pragma once
#include <string>
#include <vector>

#include "object_scanner.h"
#include "text_encoding.h"

class CTextView;

// A document as the object-bar trees see it: its tree name, the records of its last scan,
// and its first view. The document class implements it.
class CObjectBarDocument {
public:
  virtual ~CObjectBarDocument() = default;
  // The label of the document's root items: the file name without folder and extension.
  virtual std::string GetTreeName() const = 0;
  virtual const CObjectMap& GetObjectMap() const = 0;
  virtual const CFunctionMap& GetFunctionMap() const = 0;
  // The classes the document defines, with or without instances.
  virtual const CClassMap& GetClassMap() const = 0;
  // The greatest depth of any object record the document's scans have added.
  virtual int GetScannerValue() const = 0;
  // The encoding the records' bytes are in: the trees show names and strings in it.
  virtual TextEncoding GetEncoding() const = 0;
  // Brings the window of the document's first view to the top and returns that view (null
  // when the document has no view).
  virtual CTextView* ActivateFirstView() = 0;
};

// The open documents, in the order of the document list. The document manager implements it;
// a tree asks it which document a root item belongs to before touching that document, so a
// root left behind by a closed document is never followed.
class CObjectBarHost {
public:
  virtual ~CObjectBarHost() = default;
  virtual std::vector<CObjectBarDocument*> GetDocuments() const = 0;
};
