#include "platform/CommDevice.h"
#include "platform/SystemError.h"
#include "platform/posix/devices/OutputDrain.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <thread>
#include <unistd.h>

// A driver that never reports its last bytes sent: the drain gives up at its
// limit, the port closes, and it opens again while the driver still hangs.
TEST(CommDevice, ADrainTheDriverNeverEndsIsAStallAndThePortOpensAgain) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ::grantpt(master);
  ::unlockpt(master);
  const std::string slave = ::ptsname(master);
  const platform::Handle port = platform::OpenCommDevice(slave);
  ASSERT_NE(port, platform::InvalidHandle);

  std::promise<void> answer;
  const std::shared_future<void> answered = answer.get_future().share();
  const auto hang = [answered](int) {
    answered.wait();
    return 0;
  };
  std::promise<std::uint32_t> drained;
  std::future<std::uint32_t> outcome = drained.get_future();
  std::thread caller([&] {
    const bool ok = platform::posix::DrainOutput(static_cast<int>(port), 50, hang);
    drained.set_value(ok ? 0 : platform::GetLastError());
  });
  // Failing here, not hanging: the driver answers at the end in any case.
  const bool returned = outcome.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  if (returned) {
    EXPECT_EQ(platform::ClassifyCommFailure(outcome.get()), platform::CommFailure::Stalled);
    EXPECT_TRUE(platform::CloseHandle(port));
    const platform::Handle again = platform::OpenCommDevice(slave);
    EXPECT_NE(again, platform::InvalidHandle) << "the port stays held";
    if (again != platform::InvalidHandle)
      platform::CloseHandle(again);
  }
  answer.set_value();
  caller.join();
  EXPECT_TRUE(returned) << "the drain held its caller";
  if (!returned)
    platform::CloseHandle(port);
  ::close(master);
}
