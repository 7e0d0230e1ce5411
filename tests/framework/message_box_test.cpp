// The message box: what the real box shows and answers, and how tests take its place.
#include "message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SeenBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::vector<QMessageBox::StandardButton> buttons;
};

// Waits (in the event loop, without a time limit on the assertion) for the modal box, records
// it, and presses the given button (or closes it with Escape when button is NoButton).
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [&seen, button, poll]() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(5, *poll);
      return;
    }
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* b : box->buttons()) seen.buttons.push_back(box->standardButton(b));
    if (button == QMessageBox::NoButton)
      box->reject();
    else
      box->button(button)->click();
    *poll = nullptr; // break the cycle
  };
  QTimer::singleShot(0, *poll);
}

bool Has(const SeenBox& seen, QMessageBox::StandardButton b) {
  return std::find(seen.buttons.begin(), seen.buttons.end(), b) != seen.buttons.end();
}

TEST(MessageBox, RealBoxShowsCaptionTextIconAndButtons) {
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::No);
  int answer = TorvaneMessageBox("Save changes to cloak.inf?", MB_YESNOCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(seen.caption, "Torvane");
  EXPECT_EQ(seen.text, "Save changes to cloak.inf?");
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons.size(), 3u);
  EXPECT_TRUE(Has(seen, QMessageBox::Yes));
  EXPECT_TRUE(Has(seen, QMessageBox::No));
  EXPECT_TRUE(Has(seen, QMessageBox::Cancel));
}

TEST(MessageBox, EveryButtonMapsToItsAnswer) {
  struct Case {
    unsigned buttons;
    QMessageBox::StandardButton press;
    int answer;
  };
  const Case cases[] = {
      {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK},
      {MB_OKCANCEL, QMessageBox::Ok, IDOK},
      {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
      {MB_YESNO, QMessageBox::Yes, IDYES},
      {MB_YESNOCANCEL, QMessageBox::Cancel, IDCANCEL},
  };
  for (const Case& c : cases) {
    SeenBox seen;
    AnswerNextBox(seen, c.press);
    EXPECT_EQ(TorvaneMessageBox("question", c.buttons), c.answer) << c.buttons;
  }
}

TEST(MessageBox, ClosingWithoutChoosingIsTheCautiousAnswer) {
  // A dismissed "save changes?" must never read as Yes.
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::NoButton);
  EXPECT_EQ(TorvaneMessageBox("Save?", MB_YESNOCANCEL), IDCANCEL);
  SeenBox seen2;
  AnswerNextBox(seen2, QMessageBox::NoButton);
  EXPECT_EQ(TorvaneMessageBox("Rebuild?", MB_YESNO), IDNO);
  EXPECT_EQ(TorvaneMessageBoxEscapeAnswer(MB_OK), IDOK);
}

TEST(MessageBox, HandlerTakesThePlaceOfTheBoxAndCanBeRestored) {
  std::vector<std::pair<QString, unsigned>> calls;
  auto first = [&](const QString& text, unsigned buttons) {
    calls.emplace_back(text, buttons);
    return IDYES;
  };
  TorvaneMessageBoxHandler before = SetTorvaneMessageBoxHandler(first);
  EXPECT_FALSE(before); // nothing replaced it yet

  EXPECT_EQ(TorvaneMessageBox("Rebuild the story file?", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, "Rebuild the story file?");
  EXPECT_EQ(calls[0].second, MB_YESNO | MB_ICONQUESTION);

  // Installing a second handler hands back the first, which still works when reinstalled.
  TorvaneMessageBoxHandler previous =
      SetTorvaneMessageBoxHandler([](const QString&, unsigned) { return IDCANCEL; });
  EXPECT_EQ(TorvaneMessageBox("x", MB_OKCANCEL), IDCANCEL);
  ASSERT_TRUE(previous);
  SetTorvaneMessageBoxHandler(previous);
  EXPECT_EQ(TorvaneMessageBox("again", MB_OK), IDYES);
  EXPECT_EQ(calls.size(), 2u);

  // An empty handler brings the real box back.
  SetTorvaneMessageBoxHandler({});
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Ok);
  EXPECT_EQ(TorvaneMessageBox("real", MB_OK), IDOK);
  EXPECT_EQ(seen.text, "real");
}

TEST(MessageBox, HandlerMayReplaceItselfWhileRunning) {
  int outer = 0;
  SetTorvaneMessageBoxHandler([&](const QString&, unsigned) {
    ++outer;
    SetTorvaneMessageBoxHandler([](const QString&, unsigned) { return IDNO; });
    return IDOK;
  });
  EXPECT_EQ(TorvaneMessageBox("one", MB_OK), IDOK);
  EXPECT_EQ(TorvaneMessageBox("two", MB_YESNO), IDNO);
  EXPECT_EQ(outer, 1);
  SetTorvaneMessageBoxHandler({});
}

} // namespace
