// How responsive the update window stays while it updates an index: the window thread runs a
// 10 ms timer during the whole run, and the gaps between its ticks are the longest time a
// click or a repaint would have waited.
// usage: update_window_latency DESCRIPTOR.zyl...   (ZYL_HOME names the program folder)
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/ProgramFolder.h"
#include "settings/Config.h"
#include "ui/UpdateWindow.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: update_window_latency DESCRIPTOR.zyl...\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zyl::base::SetProgramFolder(zyl::base::ResolveProgramFolder(""));
  zyl::settings::LoadConfig();

  zyl::ui::UpdateWindow window(std::vector<std::string>(argv + 1, argv + argc));
  std::vector<qint64> gaps;
  QElapsedTimer clock, run;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] { gaps.push_back(clock.restart()); });
  QEventLoop loop;
  QObject::connect(&window, &zyl::ui::UpdateWindow::runFinished, &loop, &QEventLoop::quit);
  run.start();
  clock.start();
  ticker.start();
  window.show();
  loop.exec();
  const qint64 total = run.elapsed();
  std::sort(gaps.begin(), gaps.end());
  const auto at = [&](double q) {
    return gaps.empty() ? 0 : gaps[static_cast<std::size_t>(q * (gaps.size() - 1))];
  };
  std::printf(
      "update: %.1f s, %zu timer ticks; gap between ticks: median %lld ms, 99%% %lld ms, "
      "max %lld ms\n",
      total / 1000.0, gaps.size(), static_cast<long long>(at(0.5)),
      static_cast<long long>(at(0.99)), static_cast<long long>(at(1.0)));
  return 0;
}
