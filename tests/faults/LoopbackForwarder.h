#pragma once
// A small TCP forwarder on 127.0.0.1 for fault tests: clients connect to `listenPort` and are
// relayed to `targetPort`. The test can refuse new connections (a server that is down), cut
// every open connection, or cut the connection that next carries a server response halfway
// through it (a link lost mid-query). One relay thread; stops and joins on destruction.
#include <atomic>
#include <mutex>
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
  int CutCount() const { return cuts_.load(); }

 private:
  struct Pair {
    int client = -1, server = -1;
  };
  void Run();
  bool OpenListener();
  void CloseListener();
  void ClosePair(Pair& pair);

  const int listenPort_, targetPort_;
  std::mutex mutex_;  // guards pairs_, listener_ and the requests below
  std::vector<Pair> pairs_;
  int listener_ = -1;
  bool wantAccepting_ = true, wantCutAll_ = false, armedCut_ = false;
  std::atomic<bool> listening_{false}, stop_{false};
  std::atomic<int> cuts_{0};
  std::thread thread_;
};
