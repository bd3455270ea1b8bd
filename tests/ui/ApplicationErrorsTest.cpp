#include "ui/ApplicationErrors.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

TEST(ErrorBoxText, FullStopOnlyAfterBytesSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
  EXPECT_EQ(ErrorBoxText("Code: 5"), "Code: 5.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("(-1)"), "(-1)");
  EXPECT_EQ(ErrorBoxText("a-"), "a-");
  EXPECT_EQ(ErrorBoxText("a/"), "a/.");
  EXPECT_EQ(ErrorBoxText("caf\xe9"), "caf\xe9.");
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(Guarded, HandsTheMessageToThePresenterAndCarriesOn) {
  std::vector<std::string> shown;
  SetErrorPresenter([&](const std::string& message) { shown.push_back(message); });
  int ran = 0;
  Guarded([&] { ++ran; });
  Guarded([] { throw Exception("List index out of bounds (-1)"); });
  Guarded([] { throw std::runtime_error("other"); });
  Guarded([] { throw 1; });
  SetErrorPresenter({});
  Guarded([] { throw Exception("dropped"); });
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"List index out of bounds (-1)", "other", "Unknown error"}));
}

TEST(Guarded, AFailingPresenterDoesNotEscape) {
  SetErrorPresenter([](const std::string&) { throw std::runtime_error("presenter"); });
  EXPECT_NO_THROW(Guarded([] { throw Exception("x"); }));
  SetErrorPresenter({});
}
