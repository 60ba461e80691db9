// The indexing host of the tests: records the log, the messages, the stages and the counts,
// and stops when asked to (stopWhen sees the log so far; confirm answers the stop question).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "indexer/Host.h"

namespace zyl::test {

class RecordingHost : public indexer::Host {
 public:
  void AddLogText(std::string_view text) override { log += text; }
  void ShowMessage(const base::Message& message) override { messages.push_back(message.text); }
  void SetStage(indexer::Stage stage) override { stages.push_back(stage); }
  void SetCurrentItem(indexer::ItemKind kind, std::string_view item) override {
    items.emplace_back(kind, std::string(item));
  }
  void SetCounts(std::int64_t done, std::int64_t total) override {
    counts.emplace_back(done, total);
  }
  bool StopRequested() override { return stopWhen && stopWhen(log); }
  bool ConfirmStop(std::string_view, std::string_view) override {
    ++questions;
    if (!confirm) stopWhen = nullptr;  // declined: the request is cleared
    return confirm;
  }

  std::string log;
  std::vector<std::string> messages;
  std::vector<indexer::Stage> stages;
  std::vector<std::pair<indexer::ItemKind, std::string>> items;
  std::vector<std::pair<std::int64_t, std::int64_t>> counts;
  std::function<bool(const std::string&)> stopWhen;
  bool confirm = true;
  int questions = 0;
};

}  // namespace zyl::test
