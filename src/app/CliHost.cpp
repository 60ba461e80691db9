#include "app/CliHost.h"

#include <csignal>
#include <cstdio>
#include <ostream>

#include "base/Strings.h"

namespace zyl::app {

namespace {
volatile std::sig_atomic_t stopSignal = 0;
void OnSignal(int) {
  stopSignal = 1;
}
}  // namespace

void InstallStopSignals() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

CliHost::CliHost(std::ostream& log, std::ostream& progress, bool progressIsTerminal)
    : log_(log), progress_(progress), terminal_(progressIsTerminal) {}

CliHost::~CliHost() {
  if (terminal_ && done_ > 0) progress_ << "\r\033[K" << std::flush;
}

void CliHost::AddLogText(std::string_view text) {
  // The log's line breaks are CR LF; a terminal or a file on this system wants LF.
  log_ << base::Replace(text, "\r\n", "\n");
  log_.flush();
}

void CliHost::ShowMessage(const base::Message& message) {
  // The command line never asks questions: a message is a line on the progress stream.
  WriteMessage(progress_, message);
}

void CliHost::SetCounts(std::int64_t done, std::int64_t total) {
  done_ = done;
  total_ = total;
  DrawProgress();
}

void CliHost::DrawProgress() {
  if (!terminal_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  char rate[64];
  std::snprintf(rate, sizeof rate, "%.0f files/s", seconds > 0 ? done_ / seconds : 0.0);
  progress_ << "\r\033[K" << done_ << "/" << total_ << "  " << rate << std::flush;
}

bool CliHost::StopRequested() {
  return stopSignal != 0;
}

}  // namespace zyl::app
