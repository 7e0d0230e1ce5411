#pragma once
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class CDocManager;
class CObjectBar;
class CObjectBarDocument;
class CProjectFileDocument;
class CProjectSession;

// Keeps the object bar showing the whole open project: the Project tab lists its files, and
// every member that no window holds has its subtree in the trees too, from a read-only scan
// of the file on the disk. A member that opens gives its place to the open document (whose
// subtree the document follower keeps); one that closes is scanned again from the disk.
class CProjectTrees : public QObject {
public:
  CProjectTrees(CProjectSession& session, CDocManager& documents, CObjectBar& bar,
                QObject* parent = nullptr);
  ~CProjectTrees() override;

  // The members shown from the disk, in the project's order.
  std::vector<CObjectBarDocument*> Documents() const;

  // Brings the members in step with the project and the open documents.
  void Refresh();

private:
  void RemoveEntry(const QString& path);
  // Opens path in a window (or brings its window forward).
  void Open(QString path);

  CProjectSession& m_session;
  CDocManager& m_documents;
  CObjectBar& m_bar;
  std::map<QString, std::unique_ptr<CProjectFileDocument>> m_closed; // by absolute path
  // Entries taken out while one of them may still be running (a jump from its item opens
  // its file); freed once the event loop is back.
  std::vector<std::unique_ptr<CProjectFileDocument>> m_retired;
};
