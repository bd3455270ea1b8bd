#include "ui/ErrorBox.h"

#include "ui/ApplicationErrors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

// Errors raised while the box is open (a timer failing every tick) do not
// stack more boxes; after OK the next error shows again. Every error is
// heard, shown or not (the session record keeps it).
TEST(ErrorBox, OneBoxAtATime) {
  std::vector<std::string> heard;
  TErrorBox presenter("K4410R Diroridodevo 3.2",
                      [&](const std::string& text) { heard.push_back(text); });
  SetErrorPresenter(presenter);

  std::vector<QString> texts;
  int nested = 0;
  QTimer failing;
  failing.setInterval(10);
  QObject::connect(&failing, &QTimer::timeout, [&] {
    Guarded([] { throw std::runtime_error("tick failed"); });
    ++nested;
  });
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || nested < 5)
      return;
    texts.push_back(box->text());
    EXPECT_EQ(box->windowTitle(), "K4410R Diroridodevo 3.2");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->button(QMessageBox::Ok)->click();
  });
  failing.start();
  closer.start();

  Guarded([] { throw std::runtime_error("first"); });
  EXPECT_FALSE(presenter.Showing());
  failing.stop();
  closer.stop();
  SetErrorPresenter({});

  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.front(), "first.");
  EXPECT_GE(nested, 5);
  std::vector<std::string> expected{"first."};
  expected.resize(1 + static_cast<std::size_t>(nested), "tick failed.");
  EXPECT_EQ(heard, expected);
}
