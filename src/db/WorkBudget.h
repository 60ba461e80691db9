// What one statement may cost before it is stopped: engine time and the text that functions
// build out of small arguments. A condition typed by a person (or sent by a browser) can ask
// for unbounded work, such as a huge Space() evaluated for every row; a search must end with a
// refusal instead of holding the program.
#pragma once

#include <chrono>
#include <cstddef>

namespace zyl::db {

struct WorkBudget {
  // Engine time one execution of a statement may take, counted only while the engine works
  // on it (not while the caller handles its rows). Zero: no limit.
  std::chrono::milliseconds engineTime{0};
  // Bytes that Space, String and the growth of Replace may build, together, in one execution
  // of a statement. Zero: no limit.
  std::size_t builtTextBytes = 0;

  bool Limited() const { return engineTime.count() > 0 || builtTextBytes > 0; }
};

// What one execution of a statement has spent so far.
struct StatementWork {
  std::chrono::steady_clock::duration spent{};
  std::chrono::steady_clock::time_point stepStarted{};
  std::size_t builtBytes = 0;
};

// A connection's budget and the statement the engine is working on now. The engine calls
// back into it (its progress handler, the text-building functions) from inside a step.
class WorkAccount {
 public:
  void SetBudget(const WorkBudget& budget) { budget_ = budget; }
  const WorkBudget& Budget() const { return budget_; }

  // Brackets one step of a statement; steps never nest on one connection.
  void Enter(StatementWork& work);
  void Leave();

  // True once the running statement has used up its engine time.
  bool OutOfTime() const;
  // Counts `bytes` of built text against the running statement; false (and nothing counted)
  // when that would exceed its budget.
  bool TakeText(std::size_t bytes);

 private:
  WorkBudget budget_;
  StatementWork* running_ = nullptr;
};

}  // namespace zyl::db
