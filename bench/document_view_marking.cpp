// How long the search window's document view takes to show a large found document and mark its
// hits: document_view_marking [MEGABYTES] [HITS_PER_KB]. Prints the time of loading the text,
// of marking every hit and of stepping through the first thousand hits.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "search/Highlight.h"
#include "ui/DocumentView.h"

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int hitsPerKb = argc > 2 ? std::atoi(argv[2]) : 1;

  // Russian prose in lines of about 80 characters, the word "отчет" every 1/hitsPerKb KB.
  const std::string line = "Квартальный бюджет исполнен, сметы проверены, планы согласованы.\r\n";
  std::string text;
  const auto target = static_cast<std::size_t>(megabytes * 1024 * 1024);
  std::size_t nextHit = 0;
  while (text.size() < target) {
    if (hitsPerKb > 0 && text.size() >= nextHit) {
      text += "Годовой отчет готов.\r\n";
      nextHit += 1024 / static_cast<std::size_t>(hitsPerKb);
    }
    text += line;
  }

  zyl::ui::DocumentView view;
  view.resize(900, 600);
  view.show();
  auto start = std::chrono::steady_clock::now();
  view.SetDocumentText(text);
  const double load = Since(start);
  start = std::chrono::steady_clock::now();
  view.HiLightText({"отчет", "бюджет"}, false);
  const double mark = Since(start);
  start = std::chrono::steady_clock::now();
  std::size_t steps = 0;
  for (; steps < 1000; ++steps) {
    const auto hit =
        zyl::search::SelNext(view.Found(), {"отчет", "бюджет"}, view.SelectionStart(), false);
    if (!hit) break;
    view.Select(*hit);
  }
  const double step = Since(start);
  QApplication::processEvents();
  std::printf("%.1f MB, %zu characters marked: load %.0f ms, mark %.0f ms, %zu steps %.0f ms\n",
              static_cast<double>(text.size()) / (1024 * 1024), view.MarkedCount(), load, mark,
              steps, step);
  return 0;
}
