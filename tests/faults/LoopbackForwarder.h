#pragma once
// A small TCP forwarder on 127.0.0.1 for fault tests: clients connect to `listenPort` and are
// relayed to `targetPort`. The test can refuse new connections (a server that is down), cut
// every open connection, cut the connection that next carries a server response halfway
// through it (a link lost mid-query), drop exactly the reply to a given statement, or send new
// connections to another server (a failover behind a proxy). One relay thread; stops and joins
// on destruction.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackForwarder {
 public:
  LoopbackForwarder(int listenPort, int targetPort);
  ~LoopbackForwarder();
  LoopbackForwarder(const LoopbackForwarder&) = delete;
  LoopbackForwarder& operator=(const LoopbackForwarder&) = delete;

  bool Listening() const { return listening_.load(); }
  // false: the port is closed, connects are refused; true: accepting again.
  void SetAccepting(bool accepting);
  void CutAll();
  // The next server-to-client data is forwarded only in part, then both ends are closed.
  void CutDuringNextResponse();
  // The server's reply to the next client packet that contains `statementText` is swallowed,
  // then both ends are closed: the statement was carried out, its outcome never arrives.
  void DropReplyTo(std::string statementText);
  // New connections go to `port` from now on; open ones are left as they are.
  void SetTarget(int port);
  int CutCount() const { return cuts_.load(); }

 private:
  struct Pair {
    int client = -1, server = -1;
    bool dropReply = false;
  };
  void Run();
  bool OpenListener();
  void CloseListener();
  void ClosePair(Pair& pair);

  const int listenPort_;
  int targetPort_;
  std::mutex mutex_;  // guards pairs_, listener_ and the requests below
  std::vector<Pair> pairs_;
  int listener_ = -1;
  bool wantAccepting_ = true, wantCutAll_ = false, armedCut_ = false;
  std::string dropPattern_;
  std::atomic<bool> listening_{false}, stop_{false};
  std::atomic<int> cuts_{0};
  std::thread thread_;
};
