// The crawl window (frmWebB3), the web wizard's last step: creates the web index's database,
// crawls the site on a worker thread with the pages logged as they are stored, and writes the
// descriptor. Its button stops the crawl while it runs (the pages stored so far make the
// index) and closes the window afterwards.
#pragma once

#include <QDialog>
#include <memory>

#include "catalog/IndexDefinition.h"
#include "indexer/LocalBuild.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QThread;

namespace zyl::ui {

class QtHost;

class CrawlWindow : public QDialog {
  Q_OBJECT

 public:
  CrawlWindow(catalog::IndexDefinition def, QWidget* parent = nullptr);
  ~CrawlWindow() override;

  QString LogText() const;
  bool IsRunning() const { return running_; }
  const indexer::BuildResult& Result() const { return result_; }

 signals:
  void crawlFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void StartBuild();
  void Command1_Click();
  void AddLogText(const QString& text);
  void OnFinished();

  catalog::IndexDefinition def_;
  indexer::BuildResult result_;
  std::unique_ptr<QtHost> host_;
  QThread* worker_ = nullptr;
  bool started_ = false;
  bool destroying_ = false;
  bool running_ = false;
  QLabel* indexLabel_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QPushButton* button_ = nullptr;
};

}  // namespace zyl::ui
