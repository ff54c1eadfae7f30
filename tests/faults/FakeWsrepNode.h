#pragma once
// A stand-in for a Galera node that has not joined its cluster yet: it speaks enough of the
// client protocol to accept a connection and "SET NAMES", and answers every other statement
// with error 1047 ("WSREP has not yet prepared node for application use"). Listens on a free
// loopback port; one thread, stopped and joined on destruction.
#include <atomic>
#include <thread>

class FakeWsrepNode {
 public:
  FakeWsrepNode();
  ~FakeWsrepNode();
  FakeWsrepNode(const FakeWsrepNode&) = delete;
  FakeWsrepNode& operator=(const FakeWsrepNode&) = delete;

  int Port() const { return port_; }
  // Statements answered with 1047 so far.
  int Refusals() const { return refusals_.load(); }

 private:
  void Run();
  void Serve(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> refusals_{0};
  std::thread thread_;
};
