// Starts a program under the X server of $DISPLAY and times it until its
// window named <title> is mapped, then samples its resident memory for a
// while and ends it with SIGTERM. Prints one line:
//   window_ms=<N> cpu_ms=<N> rss_kb=<N>
// cpu_ms is the processor time the program had used when its window was
// mapped, rss_kb the largest resident size seen while it settled.
// The map is seen as the server reports it, so nothing polls while the
// program starts and the figure holds no polling interval.
//
// usage: startup-watch <title> <settle seconds> <program> [arguments...]
#include <xcb/xcb.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct TFree {
  void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

struct TDisconnect {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

std::string WindowName(xcb_connection_t* connection, xcb_window_t window) {
  TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
      nullptr));
  if (!reply)
    return {};
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

// Processor time the program's threads have run, from the scheduler's own
// accounting (nanoseconds, unlike the clock ticks of /proc/<pid>/stat): a
// figure that other programs on a busy machine barely move.
double ProcessorMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double total = 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double ns = 0;
    if (schedstat >> ns)
      total += ns;
  }
  return total / 1e6;
}

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

int Fail(const char* message) {
  std::fprintf(stderr, "startup-watch: %s\n", message);
  return 1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 4)
    return Fail("usage: startup-watch <title> <settle seconds> <program> [arguments...]");
  const std::string title = argv[1];
  const double settle = std::strtod(argv[2], nullptr);

  std::unique_ptr<xcb_connection_t, TDisconnect> connection(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(connection.get()))
    return Fail("cannot connect to the X server");
  xcb_connection_t* c = connection.get();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  TReply<xcb_generic_error_t> error(xcb_request_check(
      c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask)));
  if (error)
    return Fail("cannot watch the root window");

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0)
    return Fail("cannot fork");
  if (child == 0) {
    execv(argv[3], argv + 3);
    std::perror(argv[3]);
    _exit(127);
  }

  long windowMs = -1;
  double processorMs = 0;
  pollfd watched{xcb_get_file_descriptor(c), POLLIN, 0};
  while (windowMs < 0) {
    while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
      TReply<xcb_generic_event_t> event(raw);
      if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
        continue;
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
      if (WindowName(c, map->window) == title) {
        windowMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        processorMs = ProcessorMs(child);
        break;
      }
    }
    if (windowMs >= 0)
      break;
    if (xcb_connection_has_error(c))
      return Fail("lost the X server");
    if (Exited(child))
      return Fail("the program ended before its window showed");
    if (Clock::now() - start > std::chrono::seconds(30)) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return Fail("no window in 30 s");
    }
    poll(&watched, 1, 100);
  }

  long peak = 0;
  const Clock::time_point end =
      Clock::now() + std::chrono::milliseconds(static_cast<long>(settle * 1000));
  while (Clock::now() < end) {
    peak = std::max(peak, ResidentKb(child));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  peak = std::max(peak, ResidentKb(child));

  // A program that does not end within 10 s of SIGTERM is killed.
  kill(child, SIGTERM);
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  while (!Exited(child)) {
    if (Clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return Fail("the program did not end on SIGTERM");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::printf("window_ms=%ld cpu_ms=%.1f rss_kb=%ld\n", windowMs, processorMs, peak);
  return 0;
}
