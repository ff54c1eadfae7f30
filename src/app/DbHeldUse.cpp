#include "DbHeldUse.h"

void DbHeldUse::Begin(Hooks hooks) {
  std::lock_guard lock(mutex_);
  thread_ = std::this_thread::get_id();
  hooks_ = std::move(hooks);
  fault_ = false;
  held_ = true;
}

void DbHeldUse::End() {
  std::lock_guard lock(mutex_);
  held_ = false;
  hooks_ = {};
  fault_ = false;
}

bool DbHeldUse::HeldByThisThread() {
  std::lock_guard lock(mutex_);
  return held_ && thread_ == std::this_thread::get_id();
}

void DbHeldUse::ReportFault() {
  if (fault_.exchange(true)) return;
  if (hooks_.onLinkFault) hooks_.onLinkFault();
}

DbHeldUse::Statement::Statement(const Hooks* hooks) : hooks_(hooks) {
  if (hooks_ && hooks_->onStatementStart) hooks_->onStatementStart();
}

DbHeldUse::Statement::~Statement() {
  if (hooks_ && hooks_->onStatementEnd) hooks_->onStatementEnd();
}
