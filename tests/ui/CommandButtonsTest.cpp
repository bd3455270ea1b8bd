#include "ui/CommandButtons.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

namespace {

std::string Refusal(const std::string& command, const std::string& every) {
  try {
    CheckedButton("c", command, every);
  } catch (const Exception& error) {
    return error.what();
  }
  return {};
}

TCommandButton Named(const std::string& command, bool damaged = false) {
  TCommandButton button;
  button.Command = command;
  button.Damaged = damaged;
  return button;
}

std::string Order(const TCommandButtons& buttons) {
  std::string order;
  for (const TCommandButton& button : buttons.Stored())
    order += button.Command;
  return order;
}

} // namespace

TEST(CommandButtons, TheDialogRefusesWhatCannotBeSentAndKeepsTheTextAsTyped) {
  EXPECT_EQ(Refusal("", "0"), "A button needs a command");
  EXPECT_EQ(Refusal("p\\x00v", "0"), "A command cannot hold a NUL byte");
  EXPECT_EQ(Refusal("p.v", "1"), "Every takes 0 to send once, or an interval of 100 ms or more");
  EXPECT_EQ(Refusal("p.v", "99"), Refusal("p.v", "1"));
  EXPECT_EQ(Refusal("p.v", "-100"), Refusal("p.v", "1"));
  EXPECT_EQ(Refusal("p.v", "1s"), "'1s' is not a valid integer value");
  EXPECT_EQ(Refusal("p.v", "100"), "");
  const TCommandButton once = CheckedButton("", "F\\x30", "");
  EXPECT_EQ(once.Command, "F\\x30");
  EXPECT_EQ(once.Every, 0);
  EXPECT_EQ(ButtonLabel(once), "F\\x30") << "the command shows when the caption is empty";
}

TEST(CommandButtons, MovesStepOverAHiddenDamagedButtonWhichKeepsItsPlace) {
  TCommandButtons buttons({Named("a"), Named("X", true), Named("b"), Named("c")});
  EXPECT_EQ(buttons.Shown(), (std::vector<std::size_t>{0, 2, 3}));
  EXPECT_EQ(buttons.NumberedPlace(2), 2u) << "Ctrl+2 presses the second button shown";
  EXPECT_EQ(buttons.NumberedPlace(4), std::nullopt);
  EXPECT_EQ(buttons.MoveRight(0), 2u);
  EXPECT_EQ(Order(buttons), "bXac");
  EXPECT_EQ(buttons.MoveLeft(0), std::nullopt);
  EXPECT_EQ(buttons.MoveRight(3), std::nullopt);
  EXPECT_EQ(Order(buttons), "bXac") << "nothing moves at the ends";
  buttons.Remove(0);
  EXPECT_EQ(Order(buttons), "Xac");

  TCommandButtons full;
  for (int i = 0; i < MaxCommandButtons; ++i)
    full.Add(Named("p"));
  EXPECT_THROW(full.Add(Named("p")), Exception);
}
