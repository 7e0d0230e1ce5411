// The Replace dialog driven through its controls: the range that follows the replacements
// on its last line, the selection given back, Replace All that ends and is one undo step,
// a single replacement's two undo steps, read-only texts and the "Editor\Replace" settings.
#include "find_test_support.h"
#include "replace_dialog.h"

namespace {

using Span = edittest::Span;
using D = CReplaceDialog;

class ReplaceDialog : public findtest::FindTest {
protected:
  bool Replace(const std::function<void(D&)>& act) {
    return RunDialog<D>(Command(Cmd::EDIT_REPLACE), act);
  }
  // Both texts, then the buttons one after the other, then Cancel.
  void ReplaceWith(const QString& what, const QString& with, std::initializer_list<int> presses) {
    ASSERT_TRUE(Replace([&](D& d) {
      Type(d, D::IDC_FIND_WHAT, what);
      Type(d, D::IDC_REPLACE_WITH, with);
      for (int id : presses) Click(d, id);
      Click(d, D::IDC_CANCEL);
    }));
  }
};

// Replace All is one undo step, also when it is longer than the undo list.
TEST_F(ReplaceDialog, InASelectionTheRangeEndFollowsTheReplacementsOnItsLineAndOneUndoTakesAll) {
  Load("a-a\na-a-a-a");
  Select(TextPosition(0, 0), TextPosition(5, 1)); // ends just after the third a of line 1
  ASSERT_TRUE(Replace([&](D& d) {
    EXPECT_EQ(d.windowTitle(), "Replace");
    const std::pair<int, const char*> texts[] = {
        {8603, "Match &whole word only"}, {8604, "Match &case"}, {8613, "&Selection"},
        {8614, "Wh&ole file"}, {8610, "&Find Next"}, {8607, "&Replace"},
        {8608, "Replace &All"}, {2, "Cancel"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(d, id), text) << id;
    EXPECT_TRUE(Checked(d, 8613));
    EXPECT_TRUE(view->GetShowInactiveSelection());
    Type(d, 8605, "a");
    Type(d, 8609, "bbb");
    Click(d, 8608);
    Click(d, 2);
  }));
  EXPECT_EQ(Text(), "bbb-bbb\nbbb-bbb-bbb-a");
  EXPECT_EQ(messages, QStringList{"Cannot find string\"a\""}); // how every Replace All ends
  // The selection comes back over the replaced text, its last replacement included.
  EXPECT_EQ(Sel(), (Span{TextPosition(0, 0), TextPosition(11, 1)}));
  EXPECT_EQ(Cursor(), TextPosition(11, 1));
  EXPECT_FALSE(view->IsSelectionPushed());
  EXPECT_FALSE(view->GetShowInactiveSelection());
  EXPECT_EQ(UndoText(), "&Undo Replace\tCtrl+Z");
  Undo(); // all of it at once
  EXPECT_EQ(Text(), "a-a\na-a-a-a");
  EXPECT_FALSE(buffer->CanUndo());

  Load(viewtest::Lines(2000, "lamp"));
  ReplaceWith("lamp", "lantern", {D::IDC_FIND_NEXT, D::IDC_REPLACE});
  Undo(); // two groups left for Redo, dropped by the next change
  Undo();
  Place(TextPosition(0, 0));
  ReplaceWith("lamp", "torch", {D::IDC_REPLACE_ALL});
  EXPECT_TRUE(Text() == viewtest::Lines(2000, "torch"));
  Undo();
  EXPECT_TRUE(Text() == viewtest::Lines(2000, "lamp"));
}

TEST_F(ReplaceDialog, ReplaceAllWhoseReplacementHoldsTheSearchTextEnds) {
  Load("ab\nab x ab");
  ReplaceWith("ab", "xaby", {D::IDC_REPLACE_ALL});
  EXPECT_EQ(Text(), "xaby\nxaby x xaby");
  EXPECT_EQ(Sel(), (Span{TextPosition(7, 1), TextPosition(11, 1)})); // the last one
  Place(TextPosition(4, 1)); // the whole file from the caret: nothing before it
  ReplaceWith("xaby", "q", {D::IDC_REPLACE_ALL});
  EXPECT_EQ(Text(), "xaby\nxaby x q");
}

TEST_F(ReplaceDialog, ASingleReplacementIsTwoUndoStepsAndSelectsTheNextMatch) {
  Load("one lamp, two lamps\nlamp");
  ASSERT_TRUE(Replace([&](D& d) {
    EXPECT_FALSE(Button(d, D::IDC_SCOPE_SELECTION)->isEnabled());
    EXPECT_TRUE(Checked(d, D::IDC_SCOPE_WHOLE_FILE));
    Type(d, D::IDC_FIND_WHAT, "LAMP");
    Type(d, D::IDC_REPLACE_WITH, "torch");
    Click(d, D::IDC_WHOLE_WORD);
    Click(d, D::IDC_FIND_NEXT);
    EXPECT_EQ(Sel(), (Span{TextPosition(4, 0), TextPosition(8, 0)}));
    Click(d, D::IDC_REPLACE); // "lamps" is no whole word: the next is on line 1
    EXPECT_EQ(Sel(), (Span{TextPosition(0, 1), TextPosition(4, 1)}));
    Click(d, D::IDC_FIND_NEXT);
    EXPECT_EQ(messages, QStringList{"Cannot find string\"LAMP\""});
    Click(d, D::IDC_FIND_NEXT); // from the top again
    EXPECT_EQ(Sel(), (Span{TextPosition(0, 1), TextPosition(4, 1)}));
    Click(d, D::IDC_CANCEL);
  }));
  EXPECT_EQ(Text(), "one torch, two lamps\nlamp");
  EXPECT_EQ(UndoText(), "&Undo Replace\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "one , two lamps\nlamp");
  EXPECT_EQ(UndoText(), "&Undo Delete Selection\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "one lamp, two lamps\nlamp");
}

TEST_F(ReplaceDialog, ReadsAndStoresItsSettingsAndDoesNothingOnAReadOnlyText) {
  CProfileStore store;
  WriteSetting(store, SETTING_REPLACE_MATCH_CASE, 1);
  WriteSetting(store, SETTING_REPLACE_FIND_WHAT, "old");
  WriteSetting(store, SETTING_REPLACE_WITH, "new");
  Load("old Old");
  ASSERT_TRUE(Replace([&](D& d) {
    EXPECT_EQ(Text(d, D::IDC_FIND_WHAT), "old");
    EXPECT_EQ(Text(d, D::IDC_REPLACE_WITH), "new");
    EXPECT_FALSE(Checked(d, D::IDC_WHOLE_WORD));
    Click(d, D::IDC_REPLACE_ALL); // matching case, as stored
    Click(d, D::IDC_MATCH_CASE);
    Click(d, D::IDC_WHOLE_WORD);
    Type(d, D::IDC_REPLACE_WITH, "shown");
    d.reject(); // Escape: what was last shown is stored
  }));
  EXPECT_EQ(Text(), "new Old");
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_MATCH_CASE), 0u);
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_WHOLE_WORD), 1u);
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_FIND_WHAT), "old");
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_WITH), "shown");

  buffer->SetReadOnly(true);
  EXPECT_FALSE(RunDialog<D>([this] { Key(Qt::Key_H, Qt::ControlModifier); },
                            [](D& d) { d.reject(); }));
}

} // namespace
