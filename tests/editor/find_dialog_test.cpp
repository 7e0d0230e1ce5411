// The Find dialog driven through its controls, the search each view remembers, F3 and
// Shift+F3 with their enabling, the failure message and the "Editor\Find" settings.
#include "find_dialog.h"
#include "find_test_support.h"

namespace {

using Span = edittest::Span;

class FindDialog : public findtest::FindTest {
protected:
  bool Find(const std::function<void(CFindDialog&)>& act) {
    return RunDialog<CFindDialog>([this] { Key(Qt::Key_F, Qt::ControlModifier); }, act);
  }
};

TEST_F(FindDialog, FindsFromTheCaretAndAfterAFailureFromTheTop) {
  Load("the lamp\nlamp LAMP\n");
  Place(TextPosition(5, 0));
  EXPECT_TRUE(Enabled(Cmd::EDIT_FIND));
  EXPECT_FALSE(Enabled(Cmd::EDIT_REPEAT));
  EXPECT_FALSE(Enabled(Cmd::EDIT_FIND_PREVIOUS));
  bool inactiveSelectionShown = false;
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    inactiveSelectionShown = view->GetShowInactiveSelection();
    EXPECT_EQ(d.windowTitle(), "Find");
    const std::pair<int, const char*> texts[] = {{8603, "Match &whole word only"},
                                                 {8604, "Match &case"},
                                                 {8611, "&Up"},
                                                 {8612, "&Down"},
                                                 {1, "&Find Next"},
                                                 {2, "Cancel"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(d, id), text) << id;
    EXPECT_TRUE(Checked(d, 8612));
    EXPECT_FALSE(Button(d, 1)->isEnabled()); // nothing to find yet
    Type(d, 8605, "Lamp");
    EXPECT_TRUE(Button(d, 1)->isEnabled());
    Click(d, 1); // found: the dialog closes
  }));
  EXPECT_TRUE(inactiveSelectionShown);
  EXPECT_FALSE(view->GetShowInactiveSelection());
  EXPECT_EQ(Sel(), (Span{TextPosition(0, 1), TextPosition(4, 1)}));
  EXPECT_EQ(Cursor(), TextPosition(4, 1));

  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Text(d, 8605), "lamp"); // the selected text
    Type(d, 8605, "Lamp");
    Click(d, 8604);
    Click(d, 1);
    EXPECT_EQ(messages, QStringList{"Cannot find string\"Lamp\""});
    EXPECT_TRUE(d.isVisible()); // a failure keeps the dialog open
    Click(d, 8604);
    Click(d, 1); // from the top of the text now
  }));
  EXPECT_EQ(Sel(), (Span{TextPosition(4, 0), TextPosition(8, 0)}));
  EXPECT_TRUE(Enabled(Cmd::EDIT_REPEAT));
  EXPECT_TRUE(Enabled(Cmd::EDIT_FIND_PREVIOUS));
  EXPECT_EQ(ReadSetting(CProfileStore(), SETTING_FIND_WHAT), "Lamp");
}

TEST_F(FindDialog, F3WalksForwardAndShiftF3BackOneMatchAtATimeEachViewOnItsOwn) {
  Load("ab ab\nxab ab\nab");
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    Type(d, 8605, "ab");
    Click(d, 8603);
    Click(d, 1);
  }));
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  for (TextPosition expected : {TextPosition(5, 0), {6, 1}, {2, 2}, {2, 0}}) {
    Key(Qt::Key_F3);
    EXPECT_EQ(Cursor(), expected);
  }
  for (TextPosition expected : {TextPosition(0, 2), {4, 1}, {3, 0}, {0, 0}, {0, 2}}) {
    Key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Sel().first, expected);
  }
  EXPECT_EQ(view->GetLastSearchFlags(), uint32_t{SearchWholeWord}); // Shift+F3 left them
  EXPECT_TRUE(messages.isEmpty());

  CCrystalEditView other;
  other.AttachBuffer(buffer.get());
  CCmdUIState state;
  ASSERT_TRUE(other.OnUpdateCmdUI(Cmd::EDIT_REPEAT, state));
  EXPECT_FALSE(state.enabled);
  Load("ab");
  EXPECT_FALSE(Enabled(Cmd::EDIT_REPEAT)); // a new text forgets the search
}

TEST_F(FindDialog, OpensWithTheRememberedSearchOrTheStoredOneAndCancelKeepsThem) {
  CProfileStore store;
  WriteSetting(store, SETTING_FIND_MATCH_CASE, 1);
  WriteSetting(store, SETTING_FIND_WHOLE_WORD, 1);
  Load("one two\nthree");
  buffer->SetReadOnly(true); // searching never writes
  Select(TextPosition(4, 0), TextPosition(7, 0)); // on one line: its text is searched for
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Text(d, 8605), "two");
    EXPECT_TRUE(Checked(d, 8604));
    EXPECT_TRUE(Checked(d, 8603));
    Click(d, 8611);
    Type(d, 8605, "ignored");
    Click(d, 2); // closes without reading the controls
  }));
  EXPECT_EQ(view->GetLastSearchText(), "two");
  EXPECT_EQ(view->GetLastSearchFlags(), uint32_t{SearchMatchCase | SearchWholeWord});
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_WHAT), "two");

  Select(TextPosition(4, 0), TextPosition(2, 1)); // over two lines: not taken
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Text(d, 8605), "two");
    Click(d, 8604);
    Click(d, 8611);
    Click(d, 1);
  }));
  EXPECT_EQ(Sel(), (Span{TextPosition(4, 0), TextPosition(7, 0)}));
  EXPECT_EQ(view->GetLastSearchFlags(), uint32_t{SearchWholeWord | SearchUp});
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_TRUE(Checked(d, 8611)); // the direction comes back too
    EXPECT_FALSE(Checked(d, 8604));
    d.reject();
  }));
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_MATCH_CASE), 0u);
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_WHOLE_WORD), 1u);
}

} // namespace
