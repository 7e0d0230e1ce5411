// The message box: what the real box shows and answers, and how tests take its place.
#include "message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct SeenBox {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
};

// Once the modal box is up (the event loop runs while it waits), records it and presses
// button, or closes it with Escape when button is NoButton.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [&seen, button, poll]() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(5, *poll);
      return;
    }
    seen = {box->windowTitle(), box->text(), box->icon(),
            static_cast<int>(box->standardButtons().toInt())};
    if (button == QMessageBox::NoButton)
      box->reject();
    else
      box->button(button)->click();
    *poll = nullptr; // break the cycle
  };
  QTimer::singleShot(0, *poll);
}

int Ask(const char* text, unsigned buttons, QMessageBox::StandardButton press, SeenBox& seen) {
  AnswerNextBox(seen, press);
  return TorvaneMessageBox(text, buttons);
}

TEST(MessageBox, TheRealBoxShowsCaptionTextIconAndButtonsAndMapsTheAnswer) {
  SeenBox seen;
  EXPECT_EQ(Ask("Save changes to cloak.inf?", MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::No,
                seen),
            IDNO);
  EXPECT_EQ(seen.caption, "Torvane");
  EXPECT_EQ(seen.text, "Save changes to cloak.inf?");
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

  EXPECT_EQ(Ask("a", MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, seen), IDOK);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(Ask("b", MB_OKCANCEL, QMessageBox::Cancel, seen), IDCANCEL);
  EXPECT_EQ(Ask("c", MB_YESNO, QMessageBox::Yes, seen), IDYES);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(MessageBox, ClosingWithoutChoosingIsTheCautiousAnswer) {
  // A dismissed "save changes?" must never read as Yes.
  SeenBox seen;
  EXPECT_EQ(Ask("Save?", MB_YESNOCANCEL, QMessageBox::NoButton, seen), IDCANCEL);
  EXPECT_EQ(Ask("Rebuild?", MB_YESNO, QMessageBox::NoButton, seen), IDNO);
  EXPECT_EQ(TorvaneMessageBoxEscapeAnswer(MB_OK), IDOK);
}

TEST(MessageBox, AHandlerTakesThePlaceOfTheBoxUntilItIsRemoved) {
  std::vector<std::pair<QString, unsigned>> calls;
  TorvaneMessageBoxHandler before = SetTorvaneMessageBoxHandler([&](const QString& t, unsigned b) {
    calls.emplace_back(t, b);
    return IDYES;
  });
  EXPECT_FALSE(before); // nothing had replaced it
  EXPECT_EQ(TorvaneMessageBox("Rebuild the story file?", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, "Rebuild the story file?");
  EXPECT_EQ(calls[0].second, MB_YESNO | MB_ICONQUESTION);

  // A second handler hands back the first; a handler may replace itself while it runs.
  TorvaneMessageBoxHandler first = SetTorvaneMessageBoxHandler([](const QString&, unsigned) {
    SetTorvaneMessageBoxHandler([](const QString&, unsigned) { return IDNO; });
    return IDCANCEL;
  });
  EXPECT_EQ(TorvaneMessageBox("x", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(TorvaneMessageBox("y", MB_YESNO), IDNO);
  SetTorvaneMessageBoxHandler(first);
  EXPECT_EQ(TorvaneMessageBox("again"), IDYES);
  EXPECT_EQ(calls.size(), 2u);

  // An empty handler brings the real box back.
  SetTorvaneMessageBoxHandler({});
  SeenBox seen;
  EXPECT_EQ(Ask("real", MB_OK, QMessageBox::Ok, seen), IDOK);
  EXPECT_EQ(seen.text, "real");
}

} // namespace
