// The document manager with documents of a plain kind: what it announces, and how it comes out
// of opens, saves and closes that fail or are refused.
#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "command_ids.h"
#include "doc_manager.h"
#include "document.h"
#include "mdi_child_base.h"
#include "message_box.h"

namespace {

struct Doc : CDocument {
  bool canOpen = true, canSave = true;
  std::function<void()> whileOpening; // what happens while the file is read (events pumped)
  bool OnNewDocument() override { return SetTitle("new"), CDocument::OnNewDocument(); }
  bool OnOpenDocument(const QString& path) override {
    SetTitle(QFileInfo(path).fileName());
    if (whileOpening) whileOpening();
    return canOpen && CDocument::OnOpenDocument(path);
  }
  bool OnSaveDocument(const QString& path) override { return canSave && CDocument::OnSaveDocument(path); }
};

struct Frame : CMdiChildBase {
  using CMdiChildBase::CMdiChildBase;
  CView* GetActiveView() const override { return nullptr; }
  std::vector<CView*> FrameViews() const override { return {}; }
};

struct DocManager : ::testing::Test {
  void SetUp() override {
    area.show();
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      return log << "asked " + text, answers.isEmpty() ? IDCANCEL : answers.takeFirst();
    });
    const auto on = [this](auto signal, QString what) {
      QObject::connect(&manager, signal, [=, this](CDocument* d) {
        log << what + QFileInfo(d->GetTitle()).baseName() + (what == "modified " ? QString::number(d->IsModified()) : "");
      });
    };
    on(&CDocManager::documentOpened, "opened "), on(&CDocManager::documentRenamed, "renamed ");
    on(&CDocManager::documentModifiedChanged, "modified "), on(&CDocManager::documentSaved, "saved ");
    on(&CDocManager::documentAboutToClose, "closing "), on(&CDocManager::documentClosed, "closed ");
  }
  void TearDown() override { SetTorvaneMessageBoxHandler({}); }
  QString Path(const char* name) { return dir.filePath(name); }
  std::size_t FrameCount() { return area.subWindowList().size(); }

  QTemporaryDir dir;
  QMdiArea area;
  std::function<void(Doc*)> setUp = [](Doc*) {};
  CDocManager manager{&area, {[this] { auto* d = new Doc; setUp(d); return d; },
                              [](CDocument* d) { return new Frame(d); }}};
  QStringList log;
  QList<int> answers; // for the boxes in turn; Cancel once they run out
};

TEST_F(DocManager, AnnouncesEachDocumentsLifeInOrder) {
  CDocument* doc = manager.OpenNewDocument();
  doc->SetModifiedFlag(true);
  ASSERT_TRUE(doc->DoSave(Path("a.inf")));
  EXPECT_EQ(manager.OpenDocumentFile(Path("sub/../a.inf")), doc); // the open one, not again
  answers = {IDNO};
  doc->SetModifiedFlag(true);
  ASSERT_TRUE(doc->OnCmdMsg(Cmd::FILE_CLOSE));
  EXPECT_EQ(log, (QStringList{"opened new", "modified new1", "modified new0", "saved new",
                              "renamed a", "modified a1", "asked Save changes to a.inf?",
                              "closing a", "closed a"}));
  EXPECT_TRUE(manager.Documents().empty());
}

TEST_F(DocManager, FailedOpensSavesAndRefusedClosesLeaveEverythingAsItWas) {
  manager.OpenNewDocument();
  QMdiSubWindow* active = area.currentSubWindow();
  setUp = [](Doc* d) { d->canOpen = false; };
  EXPECT_EQ(manager.OpenDocumentFile(Path("x.inf")), nullptr);
  EXPECT_EQ(area.currentSubWindow(), active);
  // Closed (with every other document) while its file is read: gone, never announced opened.
  setUp = [this](Doc* d) { d->whileOpening = [this] { manager.CloseAllDocuments(); }; };
  EXPECT_EQ(manager.OpenDocumentFile(Path("y.inf")), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(log, (QStringList{"opened new", "closing new", "closed new", "closing y", "closed y"}));
  EXPECT_EQ(FrameCount(), 0u);

  setUp = [](Doc* d) { d->canSave = false; };
  CDocument* doc = manager.OpenNewDocument();
  manager.OpenNewDocument()->SetModifiedFlag(true);
  doc->SetPathName(Path("n.inf"));
  doc->SetModifiedFlag(true);
  log.clear();
  answers = {IDCANCEL, IDYES, IDYES}; // Cancel; Yes, and the save fails; the same for all
  ASSERT_TRUE(doc->OnCmdMsg(Cmd::FILE_CLOSE));
  ASSERT_TRUE(doc->OnCmdMsg(Cmd::FILE_CLOSE));
  EXPECT_FALSE(manager.SaveAllModified()); // the first that fails stops it: one question
  EXPECT_EQ(log, QStringList(3, "asked Save changes to n.inf?"));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(FrameCount(), 2u);
  // Closed by a listener as it opened: there is no document to hand back.
  QObject::connect(&manager, &CDocManager::documentOpened, [](CDocument* d) { d->OnCloseDocument(); });
  EXPECT_EQ(manager.OpenNewDocument(), nullptr);
}

} // namespace
