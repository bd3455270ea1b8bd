#include "tests/cli/StandInBroker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr unsigned char Connect = 1, ConnAck = 2, Publish = 3, PubAck = 4, PingReq = 12,
                        PingResp = 13, Disconnect = 14;

// Waits for fd to be readable, a slice at a time, until stop is set.
bool Readable(int fd, const std::atomic<bool>& stop) {
  while (!stop) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, 50);
    if (ready > 0)
      return true;
    if (ready < 0)
      return false;
  }
  return false;
}

bool ReadExact(int fd, std::string& bytes, std::size_t size, const std::atomic<bool>& stop) {
  bytes.resize(size);
  for (std::size_t got = 0; got < size;) {
    if (!Readable(fd, stop))
      return false;
    const ssize_t n = ::read(fd, bytes.data() + got, size - got);
    if (n <= 0)
      return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

struct Packet {
  unsigned char Header = 0;
  std::string Body;
  unsigned Type() const { return Header >> 4; }
};

bool ReadPacket(int fd, Packet& packet, const std::atomic<bool>& stop) {
  std::string byte;
  if (!ReadExact(fd, byte, 1, stop))
    return false;
  packet.Header = static_cast<unsigned char>(byte[0]);
  // The remaining length: seven bits a byte, least significant first.
  std::size_t length = 0;
  for (int shift = 0;; shift += 7) {
    if (shift > 21 || !ReadExact(fd, byte, 1, stop))
      return false;
    const auto digit = static_cast<unsigned char>(byte[0]);
    length |= static_cast<std::size_t>(digit & 0x7F) << shift;
    if ((digit & 0x80) == 0)
      break;
  }
  return ReadExact(fd, packet.Body, length, stop);
}

void Send(int fd, std::initializer_list<unsigned char> bytes) {
  const std::string packet(bytes.begin(), bytes.end());
  static_cast<void>(::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL));
}

} // namespace

StandInBroker::StandInBroker(int dropAfter) : DropAfter(dropAfter) {
  Listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(Listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
      ::listen(Listener, 4) != 0)
    throw std::runtime_error("the stand-in broker cannot listen");
  Port = ntohs(address.sin_port);
  Thread = std::thread([this] { Serve(); });
}

StandInBroker::~StandInBroker() {
  Stopping = true;
  Thread.join();
  ::close(Listener);
}

std::vector<std::string> StandInBroker::Acknowledged() const {
  const std::scoped_lock lock(Lock);
  return Payloads;
}

void StandInBroker::Serve() {
  while (Readable(Listener, Stopping)) {
    const int fd = ::accept(Listener, nullptr, nullptr);
    if (fd < 0)
      continue;
    Talk(fd, ++ConnectionCount == 1);
    ::close(fd);
  }
}

void StandInBroker::Talk(int fd, bool first) {
  int unacknowledged = 0;
  for (Packet packet; ReadPacket(fd, packet, Stopping);) {
    switch (packet.Type()) {
    case Connect:
      Send(fd, {ConnAck << 4, 2, 0, 0});
      break;
    case PingReq:
      Send(fd, {PingResp << 4, 0});
      break;
    case Disconnect:
      return;
    case Publish: {
      // Topic, then a packet id at QoS 1, then the payload.
      const std::string& body = packet.Body;
      if (((packet.Header >> 1) & 3) != 1 || body.size() < 2)
        break;
      const std::size_t idAt =
          2 + static_cast<unsigned char>(body[0]) * 256u + static_cast<unsigned char>(body[1]);
      if (body.size() < idAt + 2)
        break;
      if (first) {
        if (++unacknowledged >= DropAfter)
          return;
        break;
      }
      {
        const std::scoped_lock lock(Lock);
        Payloads.push_back(body.substr(idAt + 2));
      }
      Send(fd, {PubAck << 4, 2, static_cast<unsigned char>(body[idAt]),
                static_cast<unsigned char>(body[idAt + 1])});
      break;
    }
    default:
      break;
    }
  }
}
