// Searching: the pattern, the view's search, the Find dialog with F3 and Shift+F3, and the Replace
// dialog, driven through its controls while the command that opened it waits.
#include <QAbstractButton>
#include <QApplication>
#include <QChar>
#include <QLineEdit>
#include <QTimer>
#include <cstring>
#include <functional>
#include <random>

#include "edit_test_support.h"
#include "find_dialog.h"
#include "message_box.h"
#include "profile_store.h"
#include "replace_dialog.h"
#include "search_pattern.h"
#include "settings_keys.h"

namespace {

TEST(SearchPattern, FindsTheFirstOccurrenceThatCountsInALineAtEveryPlaceAndFoldsEveryByte) {
  constexpr TextEncoding L1 = TextEncoding::Iso8859_1, U8 = TextEncoding::Utf8;
  const struct { const char *line, *pattern; uint32_t flags; int from, expected; TextEncoding encoding = ENC_DEFAULT; } cases[] = {
      {"xab ab", "ab", SearchWholeWord, 0, 4}, // the first one is preceded by x
      {"ab_c", "ab", SearchWholeWord, 0, -1},  // '_' is a word character
      {"_ab", "ab", SearchWholeWord, 0, -1},
      {"(ab)", "ab", SearchWholeWord, 0, 1},
      {"ab", "ab", SearchWholeWord, 0, 0}, // both line edges end words
      {"xab", "ab", SearchWholeWord, 1, -1}, // the word began before the search did
      {"caf\xe9 caf", "caf", SearchWholeWord, 0, 5},
      {"\xb5m \xb2m m", "m", SearchWholeWord, 0, 6}, // µ and ² are a letter and a digit
      {"aBc ABC abc", "abc", 0, 0, 0},
      {"aBc ABC abc", "abc", SearchMatchCase, 0, 8},
      {"\xe9t\xe9", "\xc9T\xc9", 0, 0, 0}, // é and É
      {"\xe9t\xe9", "\xc9T\xc9", SearchMatchCase, 0, -1},
      {"abcabd", "abd", 0, 0, 3},
      {"aaaa", "aa", 0, 1, 1},
      {"", "a", 0, 0, -1},
      {"abc", "", 0, 0, -1}, // an empty text matches nowhere
      // UTF-8: letters of other scripts fold and are word characters.
      {"un café", "CAFÉ", 0, 0, 3, U8},
      {"un café", "CAFÉ", SearchMatchCase, 0, -1, U8},
      {"x αβγ", "ΑΒΓ", 0, 0, 2, U8},
      {"ς σ Σ", "Σ", 0, 0, 0, U8}, // final sigma folds as sigma does
      {"дом ДОМ", "ДОМ", 0, 0, 0, U8},
      {"Дом ДОМ", "дом", SearchMatchCase, 0, -1, U8},
      {"дома дом", "дом", SearchWholeWord, 0, 9, U8},
      {"адом дом", "ДОМ", SearchWholeWord, 0, 9, U8},
      {"адом дом", "дом", SearchWholeWord | SearchMatchCase, 0, 9, U8},
      {"café caf", "caf", SearchWholeWord, 0, 6, U8},
      {"éa a", "a", SearchWholeWord, 0, 4, U8},
      {"漢字 字", "字", SearchWholeWord, 0, 7, U8},
      {"e\u0301 e", "e", SearchWholeWord, 0, 4, U8}, // a combining mark is part of its word
      {"STRASSE straße", "ß", 0, 0, 12, U8},
      {"x\xC3\xA9", "\xC3\x89", 0, 0, 1, U8},
      {"\xC3\x89", "\xE9", 0, 0, -1, U8}, // bytes that form no character match only themselves
      {"\xE9\xC3\xA9", "\xE9", 0, 0, 0, U8},
      // ISO 8859-5 (Cyrillic) and -7 (Greek): folded in their own bytes.
      {"\xD4\xDE\xDC \xB4\xBE\xBC", "\xB4\xBE\xBC", SearchMatchCase, 0, 4, TextEncoding::Iso8859_5},
      {"x\xD4\xDE\xDC", "\xB4\xBE\xBC", 0, 0, 1, TextEncoding::Iso8859_5},
      {"\xD4\xDE\xDC\xB0", "\xD4\xDE\xDC", SearchWholeWord, 0, -1, TextEncoding::Iso8859_5},
      {"\xD4\xDE\xDC\xB0", "\xD4\xDE\xDC", SearchWholeWord, 0, 0, L1}, // ° is no letter in ISO 8859-1
      {"x \xE1\xE2\xE3", "\xC1\xC2\xC3", 0, 0, 2, TextEncoding::Iso8859_7},
      {"\xF2", "\xD3", 0, 0, 0, TextEncoding::Iso8859_7},
  };
  for (const auto& c : cases) {
    const CSearchPattern pattern(c.pattern, c.flags, c.encoding);
    const int length = static_cast<int>(std::strlen(c.line));
    EXPECT_EQ(pattern.FindInLine(c.line, length, c.from, length), c.expected)
        << c.line << " / " << c.pattern << " / " << EncodingName(c.encoding);
  }
  // Every place in a line, inside and outside the 16-at-a-time windows, found by the first
  // and the last search, in encodings whose folded bytes differ in the case bit and in more.
  const struct { TextEncoding encoding; std::string pattern, written; } placed[] = {
      {L1, "\xe9" "B", "\xc9" "b"},
      {TextEncoding::Iso8859_5, "\xB4\xBE\xBC", "\xD4\xDE\xDC"},
      {TextEncoding::Iso8859_7, "\xD3x", "\xF2X"},
      {U8, "ДОМ", "дом"},
      {U8, "Éb", "éB"},
  };
  for (const auto& p : placed) {
    const CSearchPattern pattern(p.pattern, 0, p.encoding);
    const int size = static_cast<int>(p.written.size());
    for (int at = 0; at <= 47 - size; ++at) {
      std::string line(47, '-');
      line.replace(static_cast<std::size_t>(at), p.written.size(), p.written);
      const int length = static_cast<int>(line.size());
      EXPECT_EQ(pattern.FindInLine(line.data(), length, 0, length), at) << p.written;
      EXPECT_EQ(pattern.FindInLine(line.data(), length, at + 1, length), -1) << at;
      EXPECT_EQ(pattern.FindInLine(line.data(), length, 0, at + size - 1), -1) << at;
      EXPECT_EQ(pattern.FindLastInLine(line.data(), length, 0, length, 47), at);
    }
  }
  // The word characters of ISO 8859-1: letters and digits as Unicode has them.
  int words = 0;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    words += IsSearchWordAt(std::string_view(&byte, 1), 0, L1) ? 1 : 0;
  }
  EXPECT_EQ(words, 134); // 26 + 26 + 10 + '_' + ª ² ³ µ ¹ º ¼ ½ ¾ + À..ÿ without × and ÷
  for (char32_t c : {U'@', U'[', U'`', U'{', U'/', U':', U'\u00BF', U'\u00D7', U'\u00F7', U'\u3002', U'\u2014'})
    EXPECT_FALSE(IsSearchWordCode(c)) << int(c);
  for (char32_t c : {U'A', U'z', U'0', U'9', U'_', U'\u00C0', U'\u00FF', U'\u03C9', U'\u044F', U'\u6F22', U'\u0301', U'\u0663'})
    EXPECT_TRUE(IsSearchWordCode(c)) << int(c);
  // Folding keeps a character's length in UTF-8.
  const std::pair<char32_t, char32_t> folds[] = {{U'A', U'a'}, {U'z', U'z'}, {U'\u00C9', U'\u00E9'},
      {U'\u00DF', U'\u00DF'}, {U'\u03A3', U'\u03C3'}, {U'\u03C2', U'\u03C3'}, {U'\u0416', U'\u0436'},
      {U'\u0130', U'\u0130'}, {U'\u212A', U'\u212A'}, {U'\u6F22', U'\u6F22'}};
  for (const auto& [c, folded] : folds) EXPECT_EQ(SearchFoldCode(c), folded) << int(c);
}

// The plain model: one replacement after the other, each search resuming after the last
// replacement; lines never hold a CR (breaks are CR or CR LF, a lone LF is a byte). selEnd
// is the selection's end (in Selection scope the range's), moved as the text moves.
struct ReplaceModel {
  std::vector<std::string> lines;
  TextPosition selEnd, last, lastEnd;
  void Insert(TextPosition& pos, const std::string& text) {
    const std::string rest = lines[pos.y].substr(pos.x);
    lines[pos.y].resize(pos.x);
    for (std::size_t i = 0, cr = 0; i <= text.size(); i = cr + (text.compare(cr, 2, "\r\n") ? 1 : 2)) {
      cr = std::min(text.find('\r', i), text.size());
      if (i > 0) lines.insert(lines.begin() + ++pos.y, "");
      lines[pos.y] += text.substr(i, cr - i);
    }
    pos.x = int(lines[pos.y].size());
    lines[pos.y] += rest;
  }
  int Run(const std::string& pat, uint32_t flags, const std::string& rep, TextPosition pos, bool inRange) {
    auto fold = [&](char c) { return flags & SearchMatchCase ? c : char(std::toupper(c)); };
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    const int m = int(pat.size());
    for (int count = 0;; ++count) {
      int k = -1;
      while (k < 0 && pos.y < int(lines.size()) && (!inRange || pos.y <= selEnd.y)) {
        const std::string& l = lines[pos.y];
        const int to = inRange && pos.y == selEnd.y ? selEnd.x : int(l.size());
        for (int at = pos.x; k < 0 && at + m <= to; ++at)
          if (std::equal(pat.begin(), pat.end(), l.begin() + at, [&](char a, char b) { return fold(a) == fold(b); }) &&
              !(flags & SearchWholeWord && ((at > 0 && word(l[at - 1])) || (at + m < int(l.size()) && word(l[at + m])))))
            k = at;
        if (k < 0) pos = {0, pos.y + 1};
      }
      if (k < 0) return count;
      last = pos = {k, pos.y};
      lines[pos.y].erase(k, m);
      Insert(pos, rep);
      if (selEnd >= TextPosition(k + m, last.y))
        selEnd = selEnd.y == last.y ? TextPosition(pos.x + selEnd.x - k - m, pos.y) : TextPosition(selEnd.x, selEnd.y + pos.y - last.y);
      else if (selEnd > last)
        selEnd = last;
      lastEnd = pos;
    }
  }
};

class Search : public edittest::EditViewTest<> {
protected:
  void SetUp() override {
    CProfileStore::SetUserConfigDirectory(configDir.path());
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      messages << text;
      EXPECT_EQ(buttons, MB_OK);
      return IDOK;
    });
  }
  void TearDown() override { SetTorvaneMessageBoxHandler({}); }

  // Runs open (a command or a key); once a modal dialog of type D is up, act drives it and
  // must close it. Returns whether a dialog came up.
  template <typename D>
  bool RunDialog(const std::function<void()>& open, const std::function<void(D&)>& act) {
    bool opened = false;
    QObject context; // no dialog: the check goes unrun with it
    QTimer::singleShot(0, &context, [&] {
      if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) opened = true, act(*dialog);
    });
    open();
    return opened;
  }
  bool Find(const std::function<void(CFindDialog&)>& act) {
    return RunDialog<CFindDialog>([this] { Key(Qt::Key_F, Qt::ControlModifier); }, act);
  }
  bool Replace(const std::function<void(CReplaceDialog&)>& act) {
    return RunDialog<CReplaceDialog>([this] { view->OnCmdMsg(Cmd::EDIT_REPLACE); }, act);
  }
  void ReplaceWith(const QString& what, const QString& with, std::initializer_list<int> presses) {
    ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
      Type(d, 8605, what);
      Type(d, 8609, with);
      for (int id : presses) Click(d, id);
      Click(d, 2);
    }));
  }

  static QAbstractButton* Button(CSearchDialog& d, int id) { return qobject_cast<QAbstractButton*>(d.GetDlgItem(id)); }
  static QString Shown(CSearchDialog& d, int id) {
    return Button(d, id) ? Button(d, id)->text() : static_cast<QLineEdit*>(d.GetDlgItem(id))->text();
  }
  static void Type(CSearchDialog& d, int id, const QString& text) {
    static_cast<QLineEdit*>(d.GetDlgItem(id))->clear();
    // A key per character, with its text: QTest's own clicks know ASCII keys only.
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, d.GetDlgItem(id), Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  static void Click(CSearchDialog& d, int id) { Button(d, id)->click(); }
  static bool Checked(CSearchDialog& d, int id) { return Button(d, id)->isChecked(); }

  QTemporaryDir configDir;
  QStringList messages;
};

TEST_F(Search, AMatchMustLieInsideTheRangeAndIsSelectedWithTheCaretAtItsEnd) {
  Load("two two\ntwo two");
  TextPosition found;
  EXPECT_FALSE(view->SearchTextInRange("two", {1, 1}, {4, 0}, {5, 1}, 0, false, found));
  ASSERT_TRUE(view->SearchTextInRange("two", {1, 1}, {4, 0}, {5, 1}, 0, true, found));
  EXPECT_EQ(found, TextPosition(4, 0)); // wrapped to the range start, not to (0, 0)
  ASSERT_TRUE(view->SearchTextInRange("two", {0, 0}, {1, 0}, {3, 1}, 0, false, found));
  EXPECT_EQ(found, TextPosition(4, 0)); // a start before the range is taken to its start
  EXPECT_FALSE(view->SearchTextInRange("two", {0, 0}, {2, 1}, {2, 1}, 0, true, found));
  Load("ab x"); // wrapping comes back to the start's own line, either way
  ASSERT_TRUE(view->SearchText("ab", {3, 0}, 0, true, found));
  EXPECT_EQ(found, TextPosition(0, 0));
  ASSERT_TRUE(view->SearchText("x", {0, 0}, SearchUp, true, found));
  EXPECT_EQ(found, TextPosition(3, 0));
  Load("");
  EXPECT_FALSE(view->SearchText("a", {0, 0}, 0, true, found));
  Load("\tabc\n|def"); // the column Up and Down keep is now 0
  view->SelectFoundText(TextPosition(1, 0), 2);
  EXPECT_EQ(Marked(), "\t{ab|}c\ndef");
  EXPECT_EQ(view->GetAnchor(), TextPosition(3, 0));
  EXPECT_EQ(view->GetPreferredColumn(), 0);
}

TEST_F(Search, FindDialogFindsFromTheCaretAndAfterAFailureFromTheTop) {
  Load("the l|amp\nlamp LAMP\n");
  EXPECT_TRUE(Update(Cmd::EDIT_FIND).enabled);
  EXPECT_FALSE(Update(Cmd::EDIT_REPEAT).enabled || Update(Cmd::EDIT_FIND_PREVIOUS).enabled);
  bool inactiveSelectionShown = false;
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    inactiveSelectionShown = view->GetShowInactiveSelection();
    EXPECT_EQ(d.windowTitle(), "Find");
    const std::pair<int, const char*> texts[] = {{8603, "Match &whole word only"}, {8604, "Match &case"},
                                                 {8611, "&Up"}, {8612, "&Down"}, {1, "&Find Next"}, {2, "Cancel"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Shown(d, id), text) << id;
    EXPECT_TRUE(Checked(d, 8612));
    EXPECT_FALSE(Button(d, 1)->isEnabled()); // nothing to find yet
    Type(d, 8605, "Lamp");
    EXPECT_TRUE(Button(d, 1)->isEnabled());
    Click(d, 1); // found: the dialog closes
  }));
  EXPECT_TRUE(inactiveSelectionShown);
  EXPECT_FALSE(view->GetShowInactiveSelection());
  EXPECT_EQ(Marked(), "the lamp\n{lamp|} LAMP\n");

  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Shown(d, 8605), "lamp"); // the selected text
    Type(d, 8605, "Lamp");
    Click(d, 8604);
    Click(d, 1);
    EXPECT_EQ(messages, QStringList{"Cannot find string\"Lamp\""});
    EXPECT_TRUE(d.isVisible()); // a failure keeps the dialog open
    Click(d, 8604);
    Click(d, 1); // from the top of the text now
  }));
  EXPECT_EQ(Marked(), "the {lamp|}\nlamp LAMP\n");
  EXPECT_TRUE(Update(Cmd::EDIT_REPEAT).enabled && Update(Cmd::EDIT_FIND_PREVIOUS).enabled);
  EXPECT_EQ(ReadSetting(CProfileStore(), SETTING_FIND_WHAT), "Lamp");
}

TEST_F(Search, FindOpensWithTheStoredOrRememberedSearchAndF3AndShiftF3WalkOneMatchAtATime) {
  CProfileStore store;
  WriteSetting(store, SETTING_FIND_WHOLE_WORD, 1);
  Load("ab ab\nxab ab\n{ab|}"); // a selection on one line: its text is searched for
  buffer->SetReadOnly(true); // searching never writes
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Shown(d, 8605), "ab");
    EXPECT_TRUE(!Checked(d, 8604) && Checked(d, 8603));
    Click(d, 8611);
    Type(d, 8605, "ignored");
    Click(d, 2); // closes without reading the controls
  }));
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_WHAT), "ab");
  for (TextPosition expected : {TextPosition(2, 0), {5, 0}, {6, 1}, {2, 2}, {2, 0}}) {
    Key(Qt::Key_F3);
    EXPECT_EQ(Cursor(), expected);
  }
  for (TextPosition expected : {TextPosition(0, 2), {4, 1}, {3, 0}, {0, 0}, {0, 2}}) {
    Key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(viewtest::Bounds(*view).first, expected);
  }
  EXPECT_EQ(view->GetLastSearchFlags(), uint32_t{SearchWholeWord}); // Shift+F3 left them
  EXPECT_TRUE(messages.isEmpty());

  Select(TextPosition(4, 0), TextPosition(2, 1)); // over two lines: not taken
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_EQ(Shown(d, 8605), "ab");
    Click(d, 8604);
    Click(d, 8611);
    Click(d, 1); // upwards from the start of the selection
  }));
  EXPECT_EQ(Marked(), "ab {ab|}\nxab ab\nab");
  Key(Qt::Key_F3, Qt::ShiftModifier); // the other way: down
  EXPECT_EQ(Marked(), "ab ab\nxab {ab|}\nab");
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    EXPECT_TRUE(Checked(d, 8611) && Checked(d, 8604)); // the direction comes back too
    d.reject();
  }));
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_MATCH_CASE), 1u);
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_WHOLE_WORD), 1u);
  CEditView other; // each view has a search of its own
  other.AttachBuffer(buffer.get());
  CCmdUIState state;
  EXPECT_TRUE(other.OnUpdateCmdUI(Cmd::EDIT_REPEAT, state) && !state.enabled);
  Load("ab");
  EXPECT_FALSE(Update(Cmd::EDIT_REPEAT).enabled); // a new text forgets the search
}

// Texts and replacements with CR, LF and CR LF, the search text inside the replacement, every
// scope, selections made either way; one Undo takes each Replace All back.
// In UTF-8 and ISO 8859-7 documents the dialogs take the script's characters, ignoring
// case folds them, whole words end at letters of any script, and the message of a failed
// search shows the text as it was typed.
TEST_F(Search, FindAndReplaceSeeCharactersOfOtherScripts) {
  Load("|\xD0\x94\xD0\xBE\xD0\xBC \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0 \xD0\x94\xD0\x9E\xD0\x9C caf\xC3\xA9\n");
  buffer->SetEncoding(TextEncoding::Utf8);
  Place(TextPosition(0, 0));
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    Type(d, 8605, QString::fromUtf8("\xD0\xB4\xD0\xBE\xD0\xBC")); // дом
    EXPECT_EQ(Shown(d, 8605), QString::fromUtf8("\xD0\xB4\xD0\xBE\xD0\xBC"));
    Click(d, 8603);
    Click(d, 1);
  }));
  EXPECT_EQ(Marked(), "{\xD0\x94\xD0\xBE\xD0\xBC|} \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0 \xD0\x94\xD0\x9E\xD0\x9C caf\xC3\xA9\n");
  Key(Qt::Key_F3); // дома is no whole word дом
  EXPECT_EQ(Marked(), "\xD0\x94\xD0\xBE\xD0\xBC \xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0 {\xD0\x94\xD0\x9E\xD0\x9C|} caf\xC3\xA9\n");
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    Type(d, 8605, QString::fromUtf8("CAF\xC3\x89 \xE6\xBC\xA2"));
    Click(d, 1);
    Click(d, 2);
  }));
  EXPECT_EQ(messages, QStringList{QString::fromUtf8("Cannot find string\"CAF\xC3\x89 \xE6\xBC\xA2\"")});
  const auto replaceAll = [&](const char* what, const char* with, bool wholeWord) {
    ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
      Type(d, 8605, QString::fromUtf8(what));
      Type(d, 8609, QString::fromUtf8(with));
      Button(d, 8603)->setChecked(wholeWord);
      Button(d, 8614)->setChecked(true);
      Click(d, 8608);
      Click(d, 2);
    }));
  };
  Place(TextPosition(0, 0)); // Replace All goes on from the caret
  replaceAll("CAF\xC3\x89", "\xCE\xB1\xCE\xB2", true);
  Place(TextPosition(0, 0));
  replaceAll("\xD0\xB4\xD0\xBE\xD0\xBC", "x", false);
  EXPECT_EQ(Text(), "x x\xD0\xB0 x \xCE\xB1\xCE\xB2\n");

  Load("|\xE1\xE2\xE3 \xD3\xF2\n"); // αβγ Σς in ISO 8859-7
  buffer->SetEncoding(TextEncoding::Iso8859_7);
  Place(TextPosition(0, 0));
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    Type(d, 8605, QString::fromUtf8("\xCE\x91\xCE\x92\xCE\x93 \xCF\x83\xCE\xA3")); // ΑΒΓ σΣ
    EXPECT_EQ(Shown(d, 8605), QString::fromUtf8("\xCE\x91\xCE\x92\xCE\x93 \xCF\x83\xCE\xA3"));
    Click(d, 1);
  }));
  EXPECT_EQ(Marked(), "{\xE1\xE2\xE3 \xD3\xF2|}\n");
  ASSERT_TRUE(Find([&](CFindDialog& d) {
    Type(d, 8605, QString::fromUtf8("\xD0\x96")); // Ж: no character of ISO 8859-7, refused
    EXPECT_EQ(Shown(d, 8605), "");
    Click(d, 2);
  }));
}

TEST_F(Search, ReplaceAllDoesWhatReplacingOneMatchAfterTheOtherDoesAndEnds) {
  std::mt19937 random(11);
  auto pick = [&](std::string_view from, std::size_t most) {
    std::string s(random() % (most + 1), ' ');
    for (char& c : s) c = from[random() % from.size()];
    return s;
  };
  auto lines = [&] {
    std::vector<std::string> all;
    for (int i = 0; i < buffer->LineCount(); ++i) all.emplace_back(buffer->LineChars(i), buffer->LineLength(i));
    return all;
  };
  QTemporaryDir memoryDir(QStringLiteral("/dev/shm/torvane-XXXXXX"));
  if (memoryDir.isValid()) CProfileStore::SetUserConfigDirectory(memoryDir.path());
  Load("");
  for (int trial = 0; trial < 400; ++trial) {
    // Lines of a CR LF file, holding lone CRs and LFs.
    ReplaceModel model;
    QByteArray file;
    for (int i = int(random() % 4); i >= 0; --i) {
      std::string line = pick("aAb_  \n\r", 9);
      for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;) line.erase(at + 1, 1);
      model.lines.push_back(line);
      file += QByteArray::fromStdString(line) + (i > 0 ? "\r\n" : "");
    }
    const std::vector<std::string> original = model.lines;
    QFile out(dir.filePath("random.inf"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    const auto old = std::exchange(buffer, std::make_unique<CTextBuffer>());
    ASSERT_TRUE(buffer->Load(out.fileName().toStdString(), LineEndStyle::Dos));
    view->AttachBuffer(buffer.get());
    ASSERT_EQ(lines(), original);
    auto point = [&] {
      const int y = int(random() % model.lines.size());
      return TextPosition(int(random() % (model.lines[y].size() + 1)), y);
    };
    const TextPosition a = point(), b = point();
    const int scope = a == b ? 1 : int(random() % 3); // Selection, Whole file from the caret, Whole file with a selection
    std::string pat = pick("aA_ \n\r", 2), rep = pick("ab\r\n", 3);
    if (pat.empty()) pat = "a";
    if (random() % 2) rep.insert(random() % (rep.size() + 1), pat);
    if (random() % 3 == 0) rep.insert(random() % (rep.size() + 1), "\r\n");
    const uint32_t flags = random() % 4;
    Select(scope == 1 ? a : b, a);
    model.selEnd = std::max(a, b);
    const int count = model.Run(pat, flags, rep, scope == 1 ? a : std::min(a, b), scope == 0);
    messages.clear();
    ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
      static_cast<QLineEdit*>(d.GetDlgItem(8605))->setText(QString::fromLatin1(pat));
      static_cast<QLineEdit*>(d.GetDlgItem(8609))->setText(QString::fromLatin1(rep));
      Button(d, 8604)->setChecked(flags & SearchMatchCase);
      Button(d, 8603)->setChecked(flags & SearchWholeWord);
      if (scope == 2) Click(d, 8614);
      Click(d, 8608);
      Click(d, 2);
    }));
    ASSERT_EQ(lines(), model.lines) << trial << ": " << pat << " by " << rep;
    ASSERT_EQ(messages.value(0), count == 0 ? "Cannot find string\"" + QString::fromLatin1(pat) + "\""
                                 : count == 1 ? "1 occurrence replaced" : QString("%1 occurrences replaced").arg(count));
    if (scope != 1 || count > 0) {
      EXPECT_EQ(viewtest::Bounds(*view), scope != 1 ? viewtest::Span(std::min(a, b), model.selEnd)
                                                     : viewtest::Span(model.last, model.lastEnd)) << trial;
    }
    if (count > 0) Undo();
    ASSERT_EQ(lines(), original) << trial;
  }
}

// Replace All is one undo step, also when it is longer than the undo list.
TEST_F(Search, ReplaceAllInASelectionFollowsTheReplacementsOnItsLastLineIsOneUndoStepAndEnds) {
  Load("{a-a\na-a-a|}-a"); // ends just after the third a of line 1
  ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Replace");
    const std::pair<int, const char*> texts[] = {
        {8603, "Match &whole word only"}, {8604, "Match &case"}, {8613, "&Selection"}, {8614, "Wh&ole file"},
        {8610, "&Find Next"}, {8607, "&Replace"}, {8608, "Replace &All"}, {2, "Cancel"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Shown(d, id), text) << id;
    EXPECT_TRUE(Checked(d, 8613));
    EXPECT_TRUE(view->GetShowInactiveSelection());
    Type(d, 8605, "a");
    Type(d, 8609, "bbb");
    Click(d, 8608);
    Click(d, 2);
  }));
  EXPECT_EQ(messages, QStringList{"5 occurrences replaced"});
  EXPECT_EQ(Marked(), "{bbb-bbb\nbbb-bbb-bbb|}-a");
  EXPECT_FALSE(view->IsSelectionPushed());
  EXPECT_FALSE(view->GetShowInactiveSelection());
  EXPECT_EQ(UndoText(), "&Undo Replace\tCtrl+Z");
  Undo(); // all of it at once
  EXPECT_EQ(Text(), "a-a\na-a-a-a");
  EXPECT_FALSE(buffer->CanUndo());

  Load(viewtest::Lines(2000, "lamp"));
  ReplaceWith("lamp", "lantern", {8610, 8607});
  Undo(); // two groups left for Redo, dropped by the next change
  Undo();
  Place(TextPosition(0, 0));
  ReplaceWith("lamp", "torch", {8608});
  EXPECT_TRUE(Text() == viewtest::Lines(2000, "torch"));
  Undo();
  EXPECT_TRUE(Text() == viewtest::Lines(2000, "lamp"));
}

TEST_F(Search, ASingleReplacementIsTwoUndoStepsAndSelectsTheNextMatch) {
  Load("one lamp, two lamps\nlamp");
  ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
    EXPECT_FALSE(Button(d, 8613)->isEnabled()); // no selection to replace in
    EXPECT_TRUE(Checked(d, 8614));
    Type(d, 8605, "LAMP");
    Type(d, 8609, "torch");
    Click(d, 8603);
    Click(d, 8610);
    EXPECT_EQ(Marked(), "one {lamp|}, two lamps\nlamp");
    Click(d, 8607); // "lamps" is no whole word: the next is on line 1
    EXPECT_EQ(Marked(), "one torch, two lamps\n{lamp|}");
    Click(d, 8610);
    EXPECT_EQ(messages, QStringList{"Cannot find string\"LAMP\""});
    Click(d, 8610); // from the top again
    EXPECT_EQ(Marked(), "one torch, two lamps\n{lamp|}");
    Click(d, 2);
  }));
  EXPECT_EQ(UndoText(), "&Undo Replace\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "one , two lamps\nlamp");
  EXPECT_EQ(UndoText(), "&Undo Delete Selection\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "one lamp, two lamps\nlamp");
  Load("a a"); // the next match is looked for after the line break the replacement brought
  ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
    static_cast<QLineEdit*>(d.GetDlgItem(8609))->setText("\r\na");
    Type(d, 8605, "a");
    Click(d, 8610);
    Click(d, 8607);
    EXPECT_EQ(Marked(), "\na {a|}");
    Click(d, 2);
  }));
}

TEST_F(Search, ReplaceReadsAndStoresItsSettingsAndDoesNothingOnAReadOnlyText) {
  CProfileStore store;
  WriteSetting(store, SETTING_REPLACE_MATCH_CASE, 1);
  WriteSetting(store, SETTING_REPLACE_FIND_WHAT, "old");
  WriteSetting(store, SETTING_REPLACE_WITH, "new");
  Load("old Old");
  ASSERT_TRUE(Replace([&](CReplaceDialog& d) {
    EXPECT_EQ(Shown(d, 8605) + Shown(d, 8609), "oldnew");
    EXPECT_FALSE(Checked(d, 8603));
    Click(d, 8608); // matching case, as stored
    Click(d, 8604);
    Click(d, 8603);
    Type(d, 8609, "shown");
    d.reject(); // Escape: what was last shown is stored
  }));
  EXPECT_EQ(Text(), "new Old");
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_MATCH_CASE), 0u);
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_WHOLE_WORD), 1u);
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_FIND_WHAT), "old");
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_WITH), "shown");
  buffer->SetReadOnly(true);
  EXPECT_FALSE(RunDialog<CReplaceDialog>([this] { Key(Qt::Key_H, Qt::ControlModifier); },
                                         [](CReplaceDialog& d) { d.reject(); }));
}

} // namespace
