#pragma once
#include <string>

#include "object_scanner.h"

// One tree of the object bar as the documents use it: tab 0 (Objects) and tab 1 (Classes)
// are filled from a document's object map, tab 2 (Functions) from its function map. A
// document's subtree hangs under a root item labelled with the document's tree name.
class CDocumentTree {
public:
  virtual ~CDocumentTree() = default;

  // Deletes the document's root item with its subtree, if there is one.
  virtual void RemoveDocument(const std::string& treeName) = 0;
  // Builds the document's subtree from its records (replacing an earlier one). A tree
  // overrides the overload of the map it shows; the other does nothing.
  virtual void FillDocument(const std::string& treeName, const CObjectMap& objects,
                            int scannerValue) {
    (void)treeName, (void)objects, (void)scannerValue;
  }
  virtual void FillDocument(const std::string& treeName, const CFunctionMap& functions,
                            int scannerValue) {
    (void)treeName, (void)functions, (void)scannerValue;
  }
  // Finds the document's root item (FindDocumentRoot) and sets its text; false when there
  // is none.
  virtual bool SetDocumentRootText(const std::string& treeName, const std::string& text) = 0;
};
