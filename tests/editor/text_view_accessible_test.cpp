// The editing view read through QAccessible, as a screen reader reads it.
#include <QAccessible>
#include <QFile>
#include <QAccessibleTextInterface>

#include "edit_test_support.h"
#include "text_view_accessible.h"

namespace {

// Every text event sent, as "kind offset text" (cursor events: "caret offset").
std::vector<std::string> g_events;

void Record(QAccessibleEvent* event) {
  const auto n = [](int value) { return std::to_string(value); };
  const auto text = [](const QString& t) { return " " + t.toStdString(); };
  if (auto* e = dynamic_cast<QAccessibleTextInsertEvent*>(event))
    g_events.push_back("insert " + n(e->changePosition()) + text(e->textInserted()));
  else if (auto* e = dynamic_cast<QAccessibleTextRemoveEvent*>(event))
    g_events.push_back("remove " + n(e->changePosition()) + text(e->textRemoved()));
  else if (auto* e = dynamic_cast<QAccessibleTextUpdateEvent*>(event))
    g_events.push_back("update " + n(e->changePosition()) + text(e->textRemoved()) + " ->" +
                       text(e->textInserted()));
  else if (auto* e = dynamic_cast<QAccessibleTextSelectionEvent*>(event))
    g_events.push_back("select " + n(e->selectionStart()) + " " + n(e->selectionEnd()));
  else if (auto* e = dynamic_cast<QAccessibleTextCursorEvent*>(event))
    g_events.push_back("caret " + n(e->cursorPosition()));
}

class AccessibleView : public edittest::EditViewTest<> {
protected:
  void SetUp() override { SetAccessEventSink(Record); }
  void TearDown() override { SetAccessEventSink({}); }
  QAccessibleTextInterface* Text() {
    return QAccessible::queryAccessibleInterface(view.get())->textInterface();
  }
  // The events since the last call.
  std::vector<std::string> Events() { return std::exchange(g_events, {}); }
  std::string At(int offset, QAccessible::TextBoundaryType type) {
    int start = -1, end = -1;
    const QString text = Text()->textAtOffset(offset, type, &start, &end);
    return std::to_string(start) + "-" + std::to_string(end) + " " + text.toStdString();
  }
  using Events_ = std::vector<std::string>;
};

// Keys pressed: the reader sees the text, the caret, the selection, what was typed and
// deleted, and the units around an offset.
TEST_F(AccessibleView, KeysReachTheReaderAsTextCaretAndChanges) {
  Load("ab cd\n|x.y\n\tz");
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view.get());
  ASSERT_TRUE(iface && Text());
  EXPECT_EQ(iface->role(), QAccessible::EditableText);
  EXPECT_TRUE(iface->state().editable && iface->state().multiLine);
  EXPECT_EQ(Text()->characterCount(), 12);
  EXPECT_EQ(Text()->text(0, 12).toStdString(), "ab cd\nx.y\n\tz");
  EXPECT_EQ(Text()->text(4, 8).toStdString(), "d\nx.");
  EXPECT_EQ(Text()->cursorPosition(), 6);
  Events();
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(Events(), (Events_{"caret 10", "caret 12"}));
  Keys("\"Q\" BS BS");
  // Backspace puts the caret before the character, then deletes it.
  EXPECT_EQ(Events(), (Events_{"insert 12 Q", "caret 13", "caret 12", "remove 12 Q", "caret 11",
                               "remove 11 z"}));
  Keys("Ret");
  EXPECT_EQ(Events(), (Events_{"insert 11 \n", "caret 12", "insert 12 \t", "caret 13"})); // indented
  Key(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(Events(), (Events_{"select 11 13", "caret 11"}));
  int start = -1, end = -1;
  Text()->selection(0, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(11, 13));
  Keys("Del");
  EXPECT_EQ(Events(), (Events_{"select 11 11", "remove 11 \n\t"}));
  EXPECT_EQ(Text()->text(0, Text()->characterCount()).toStdString(), "ab cd\nx.y\n\t");
  EXPECT_EQ(At(1, QAccessible::WordBoundary), "0-2 ab");
  EXPECT_EQ(At(2, QAccessible::WordBoundary), "2-3  ");
  EXPECT_EQ(At(7, QAccessible::WordBoundary), "7-8 .");
  EXPECT_EQ(At(5, QAccessible::WordBoundary), "5-6 \n");
  EXPECT_EQ(At(7, QAccessible::LineBoundary), "6-10 x.y\n");
  EXPECT_EQ(At(11, QAccessible::LineBoundary), "10-11 \t");
  EXPECT_EQ(At(5, QAccessible::CharBoundary), "5-6 \n");
  EXPECT_EQ(At(11, QAccessible::CharBoundary), "11-11 ");
  Text()->textBeforeOffset(7, QAccessible::LineBoundary, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 6));
  Text()->textAfterOffset(1, QAccessible::WordBoundary, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 3));
}

// The reader moves the caret, selects and edits; offsets stay right far down a text after
// changes above.
TEST_F(AccessibleView, ReaderSetsCaretSelectionAndTextOverManyLines) {
  Load(viewtest::Lines(300, "1234"));
  Text()->setCursorPosition(5 * 250 + 3);
  EXPECT_EQ(Cursor(), TextPosition(3, 250));
  Text()->setSelection(0, 7, 12);
  EXPECT_EQ(Marked().substr(0, 15), "1234\n12{34\n12|}");
  view->MoveCaretTo(TextPosition(0, 299));
  CEditView other; // a second view of the text, without the focus: the reader hears nothing of it
  other.AttachBuffer(buffer.get());
  other.MoveCaretTo(TextPosition(2, 298));
  Events();
  auto* edit = static_cast<QAccessibleEditableTextInterface*>(
      QAccessible::queryAccessibleInterface(view.get())->interface_cast(
          QAccessible::EditableTextInterface));
  edit->insertText(5, "ab\ncd");
  EXPECT_EQ(Events(), (Events_{"insert 5 ab\ncd", "caret 1500"}));
  edit->replaceText(0, 3, "x");
  EXPECT_EQ(Events(), (Events_{"remove 0 123", "caret 1497", "insert 0 x", "caret 1498"}));
  EXPECT_EQ(Text()->cursorPosition(), 1498);
  EXPECT_EQ(Text()->characterCount(), 5 * 301 - 1 - 2);
  Keys("Undo");
  EXPECT_EQ(Text()->text(0, 12).toStdString(), "1234\nab\ncd12");
}

// A UTF-8 document: offsets count characters, not bytes, and text from the reader is stored
// as UTF-8.
TEST_F(AccessibleView, OffsetsCountTheCharactersOfAUtf8Text) {
  Load("caf\xC3\xA9\n\xCE\xBBx");
  buffer->SetEncoding(TextEncoding::Utf8);
  Place(TextPosition(0, 1));
  EXPECT_EQ(Text()->characterCount(), 7);
  EXPECT_EQ(Text()->text(0, 7), QString::fromUtf8("caf\xC3\xA9\n\xCE\xBBx"));
  EXPECT_EQ(Text()->cursorPosition(), 5);
  Events();
  Key(Qt::Key_End);
  EXPECT_EQ(Events(), (Events_{"caret 7"}));
  Text()->setCursorPosition(6);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  QAccessible::queryAccessibleInterface(view.get())->editableTextInterface()->insertText(
      3, QString::fromUtf8("\xC3\xBC"));
  EXPECT_EQ(Text()->characterCount(), 8);
  EXPECT_EQ(viewtest::BufferText(*buffer), "caf\xC3\xBC\xC3\xA9\n\xCE\xBBx");
}

// A text read in another encoding, its encoding change undone, or a file read again: the
// reader is told the whole text went and what replaced it, then where the caret is.
TEST_F(AccessibleView, AChangeOfEncodingOrAReloadReplacesTheWholeText) {
  Load("caf\xC3\xA9\nx|y");
  Events();
  buffer->SetEncoding(TextEncoding::Utf8);
  EXPECT_EQ(Events(), (Events_{"update 0 caf\xC3\x83\xC2\xA9\nxy -> caf\xC3\xA9\nxy", "caret 0"}));
  EXPECT_EQ(Text()->characterCount(), 7);
  EXPECT_TRUE(buffer->ChangeEncoding(TextEncoding::Ascii));
  EXPECT_TRUE(buffer->IsModified()); // no byte changed, but Undo has a step to take back
  EXPECT_EQ(Events(), (Events_{"update 0 caf\xC3\xA9\nxy -> caf\\xC3\\xA9\nxy", "caret 0"}));
  Undo();
  EXPECT_EQ(buffer->Encoding(), TextEncoding::Utf8);
  EXPECT_FALSE(buffer->IsModified());
  EXPECT_EQ(Events(), (Events_{"update 0 caf\\xC3\\xA9\nxy -> caf\xC3\xA9\nxy", "caret 0"}));
  // A second view without the focus hears nothing; the focused one hears the reload.
  CEditView other;
  other.AttachBuffer(buffer.get());
  const QString path = dir.filePath("reload.inf");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("new\r\n") == 5);
  file.close();
  ASSERT_TRUE(buffer->Load(path.toStdString()));
  EXPECT_EQ(Events(), (Events_{"update 0 caf\xC3\xA9\nxy -> new\n", "caret 0"}));
  other.DetachBuffer();
}

} // namespace
