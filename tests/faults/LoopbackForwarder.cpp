#include "LoopbackForwarder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string_view>

namespace {

constexpr int kPollMs = 20;
constexpr std::size_t kChunk = 16384;

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool SendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

LoopbackForwarder::LoopbackForwarder(int listenPort, int targetPort)
    : listenPort_(listenPort), targetPort_(targetPort) {
  std::lock_guard lock(mutex_);
  OpenListener();
  thread_ = std::thread([this] { Run(); });
}

LoopbackForwarder::~LoopbackForwarder() {
  stop_ = true;
  thread_.join();
  for (Pair& pair : pairs_) ClosePair(pair);
  CloseListener();
}

bool LoopbackForwarder::OpenListener() {
  if (listener_ >= 0) return true;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  const sockaddr_in address = Loopback(listenPort_);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
    ::close(fd);
    return false;
  }
  listener_ = fd;
  listening_ = true;
  return true;
}

// The relay thread's poll() may still hold a closed descriptor's socket for up to kPollMs; a
// plain close() would leave it listening (or relaying) that long. shutdown() ends it at once.
void LoopbackForwarder::CloseListener() {
  if (listener_ >= 0) {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
  }
  listener_ = -1;
  listening_ = false;
}

void LoopbackForwarder::ClosePair(Pair& pair) {
  for (const int fd : {pair.client, pair.server}) {
    if (fd < 0) continue;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
  }
  pair.client = pair.server = -1;
}

void LoopbackForwarder::SetAccepting(bool accepting) {
  std::lock_guard lock(mutex_);
  wantAccepting_ = accepting;
  if (accepting)
    OpenListener();
  else
    CloseListener();
}

void LoopbackForwarder::CutAll() {
  std::lock_guard lock(mutex_);
  for (Pair& pair : pairs_) ClosePair(pair);
  pairs_.clear();
  ++cuts_;
}

void LoopbackForwarder::CutDuringNextResponse() {
  std::lock_guard lock(mutex_);
  armedCut_ = true;
}

void LoopbackForwarder::DropReplyTo(std::string statementText) {
  std::lock_guard lock(mutex_);
  dropPattern_ = std::move(statementText);
}

void LoopbackForwarder::SetTarget(int port) {
  std::lock_guard lock(mutex_);
  targetPort_ = port;
}

void LoopbackForwarder::Run() {
  std::vector<char> buffer(kChunk);
  while (!stop_) {
    std::vector<pollfd> fds;
    {
      std::lock_guard lock(mutex_);
      if (listener_ >= 0) fds.push_back({listener_, POLLIN, 0});
      for (const Pair& pair : pairs_) {
        fds.push_back({pair.client, POLLIN, 0});
        fds.push_back({pair.server, POLLIN, 0});
      }
    }
    if (::poll(fds.data(), fds.size(), kPollMs) <= 0) continue;
    std::lock_guard lock(mutex_);
    if (listener_ >= 0 && !fds.empty() && fds[0].fd == listener_ && (fds[0].revents & POLLIN)) {
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) {
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in target = Loopback(targetPort_);
        if (::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
          pairs_.push_back({client, server});
        } else {
          ::close(server);
          ::close(client);
        }
      }
    }
    // Relay whatever is readable; a pair whose descriptors changed under a cut is skipped.
    for (const pollfd& p : fds) {
      if (!(p.revents & (POLLIN | POLLHUP | POLLERR)) || p.fd == listener_) continue;
      for (Pair& pair : pairs_) {
        const bool fromClient = pair.client == p.fd;
        if (!fromClient && pair.server != p.fd) continue;
        const ssize_t n = ::recv(p.fd, buffer.data(), buffer.size(), 0);
        bool ok = n > 0;
        if (ok && fromClient && !dropPattern_.empty() &&
            std::string_view(buffer.data(), static_cast<std::size_t>(n)).find(dropPattern_) != std::string_view::npos) {
          dropPattern_.clear();
          pair.dropReply = true;
        }
        if (ok && !fromClient && pair.dropReply) {
          ++cuts_;
          ok = false;
        } else if (ok && !fromClient && armedCut_) {
          armedCut_ = false;
          SendAll(pair.client, buffer.data(), static_cast<std::size_t>(n) / 2);
          ++cuts_;
          ok = false;
        } else if (ok) {
          ok = SendAll(fromClient ? pair.server : pair.client, buffer.data(), static_cast<std::size_t>(n));
        }
        if (!ok) ClosePair(pair);
        break;
      }
    }
    std::erase_if(pairs_, [](const Pair& pair) { return pair.client < 0; });
  }
}
