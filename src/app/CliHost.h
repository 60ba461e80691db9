// The command line as the host of an indexing engine: the log on stdout, a one-line progress
// display on stderr when it is a terminal, Ctrl-C as the stop request, no questions asked.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "app/MessageLine.h"
#include "indexer/Host.h"

namespace zyl::app {

class CliHost : public indexer::Host {
 public:
  CliHost(std::ostream& log, std::ostream& progress, bool progressIsTerminal);
  ~CliHost() override;

  void AddLogText(std::string_view text) override;
  void ShowMessage(const base::Message& message) override;
  void SetCounts(std::int64_t done, std::int64_t total) override;
  bool StopRequested() override;
  bool ConfirmStop(std::string_view question, std::string_view title) override { return true; }

 private:
  void DrawProgress();
  std::ostream& log_;
  std::ostream& progress_;
  bool terminal_;
  std::int64_t done_ = 0;
  std::int64_t total_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastDraw_{};
};

// Installs SIGINT/SIGTERM handlers that set the stop request (once per process).
void InstallStopSignals();

}  // namespace zyl::app
