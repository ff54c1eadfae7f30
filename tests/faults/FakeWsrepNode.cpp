#include "FakeWsrepNode.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace {

constexpr int kPollMs = 20;
constexpr unsigned char kComQuit = 0x01, kComQuery = 0x03;
// long password, found rows, long flag, connect with db, 4.1 protocol, transactions, secure
// connection (lower half); multi results, plugin auth (upper half).
constexpr unsigned kCapabilitiesLow = 0xA20F, kCapabilitiesHigh = 0x000A;
constexpr std::string_view kOkPayload{"\x00\x00\x00\x02\x00\x00\x00", 7};
constexpr std::string_view kNotReadyText = "WSREP has not yet prepared node for application use";

bool SendPacket(int fd, unsigned char sequence, std::string_view payload) {
  std::string packet(4, '\0');
  packet[0] = static_cast<char>(payload.size() & 0xff);
  packet[1] = static_cast<char>((payload.size() >> 8) & 0xff);
  packet[2] = static_cast<char>((payload.size() >> 16) & 0xff);
  packet[3] = static_cast<char>(sequence);
  packet += payload;
  return ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(packet.size());
}

bool ReadExactly(int fd, char* data, std::size_t size) {
  while (size > 0) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 2000) <= 0) return false;
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadPacket(int fd, std::string& payload) {
  char header[4];
  if (!ReadExactly(fd, header, sizeof header)) return false;
  const std::size_t size = static_cast<unsigned char>(header[0]) | static_cast<unsigned char>(header[1]) << 8 |
                           static_cast<unsigned char>(header[2]) << 16;
  payload.assign(size, '\0');
  return ReadExactly(fd, payload.data(), size);
}

std::string Greeting() {
  std::string g;
  g += '\x0a';
  g += std::string("5.5.5-10.11.6-MariaDB-wsrep") + '\0';
  g += std::string("\x01\x00\x00\x00", 4);  // connection id
  g += "abcdefgh";                          // first part of the scramble
  g += '\0';
  g += static_cast<char>(kCapabilitiesLow & 0xff);
  g += static_cast<char>(kCapabilitiesLow >> 8);
  g += '\x08';                      // latin1
  g += std::string("\x02\x00", 2);  // autocommit
  g += static_cast<char>(kCapabilitiesHigh & 0xff);
  g += static_cast<char>(kCapabilitiesHigh >> 8);
  g += '\x15';  // scramble length 21
  g += std::string(10, '\0');
  g += std::string("ijklmnopqrst") + '\0';
  g += std::string("mysql_native_password") + '\0';
  return g;
}

std::string NotReadyError() {
  std::string e("\xff\x17\x04#08S01", 9);
  e += kNotReadyText;
  return e;
}

}  // namespace

FakeWsrepNode::FakeWsrepNode() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(listener_, 8) == 0 &&
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

FakeWsrepNode::~FakeWsrepNode() {
  stop_ = true;
  thread_.join();
  ::close(listener_);
}

void FakeWsrepNode::Run() {
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Serve(client);
    ::close(client);
  }
}

void FakeWsrepNode::Serve(int client) {
  std::string payload;
  if (!SendPacket(client, 0, Greeting()) || !ReadPacket(client, payload) || !SendPacket(client, 2, kOkPayload)) return;
  while (!stop_ && ReadPacket(client, payload) && !payload.empty()) {
    if (static_cast<unsigned char>(payload[0]) == kComQuit) return;
    const bool setNames = static_cast<unsigned char>(payload[0]) == kComQuery &&
                          std::string_view(payload).substr(1).starts_with("SET NAMES");
    if (!setNames && static_cast<unsigned char>(payload[0]) == kComQuery) ++refusals_;
    if (!SendPacket(client, 1, setNames || payload[0] != kComQuery ? kOkPayload : NotReadyError())) return;
  }
}
