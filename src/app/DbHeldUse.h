#pragma once
// Which thread holds a session for a dialog, what it is told, and the one pending link fault.
// Plain state, no client library.
//
// Locking rule: Begin, End and HeldByThisThread take the holder mutex; the fault flag is
// atomic. Report runs the holder's hook on the calling thread (the holder's own).
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class DbHeldUse {
 public:
  // What the holder of the connection is told (on its own thread).
  struct Hooks {
    std::function<void()> onLinkFault;       // once per fault, until ClearFault
    std::function<void()> onStatementStart;  // e.g. the busy cursor
    std::function<void()> onStatementEnd;
  };

  void Begin(Hooks hooks);
  void End();
  bool IsHeld() const { return held_.load(); }
  bool HeldByThisThread();

  // Marks the fault and tells the holder, once until it is cleared.
  void ReportFault();
  void ClearFault() { fault_ = false; }
  bool FaultPending() const { return fault_.load(); }

  // Around one statement of the holder: the start and end hooks.
  class Statement {
   public:
    explicit Statement(const Hooks* hooks);  // nullptr: not the holder, nothing is told
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

   private:
    const Hooks* hooks_;
  };
  const Hooks* HooksForThisThread() { return HeldByThisThread() ? &hooks_ : nullptr; }

 private:
  std::mutex mutex_;
  std::thread::id thread_;
  std::atomic<bool> held_{false};
  Hooks hooks_;
  std::atomic<bool> fault_{false};
};
