#include "db/WorkBudget.h"

namespace zyl::db {

void WorkAccount::Enter(StatementWork& work) {
  work.stepStarted = std::chrono::steady_clock::now();
  running_ = &work;
}

void WorkAccount::Leave() {
  if (running_) running_->spent += std::chrono::steady_clock::now() - running_->stepStarted;
  running_ = nullptr;
}

bool WorkAccount::OutOfTime() const {
  if (!running_ || budget_.engineTime.count() <= 0) return false;
  const auto spent = running_->spent + (std::chrono::steady_clock::now() - running_->stepStarted);
  return spent > budget_.engineTime;
}

bool WorkAccount::TakeText(std::size_t bytes) {
  if (!running_ || budget_.builtTextBytes == 0) return true;
  if (bytes > budget_.builtTextBytes - running_->builtBytes) return false;
  running_->builtBytes += bytes;
  return true;
}

}  // namespace zyl::db
