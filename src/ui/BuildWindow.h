// The build window (frmZYLwizard4), the local wizard's last step: runs the build of the new
// index on a worker thread and shows its stage, the current folder or file, the file counter,
// the progress and the log. Its one button stops the build (after a question) while it runs and
// closes the window afterwards.
#pragma once

#include <QDialog>
#include <memory>

#include "catalog/IndexDefinition.h"
#include "indexer/LocalBuild.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;

namespace zyl::ui {

class QtHost;

class BuildWindow : public QDialog {
  Q_OBJECT

 public:
  BuildWindow(catalog::IndexDefinition def, QWidget* parent = nullptr);
  ~BuildWindow() override;

  void AddLogText(const QString& text);
  QString LogText() const;
  bool IsRunning() const { return running_; }
  const indexer::BuildResult& Result() const { return result_; }
  // The engine's host, for tests that act at a given point of the build.
  QtHost& Host() { return *host_; }
  // Build options for this window's runs (tests use one worker).
  void SetOptions(const indexer::BuildOptions& options) { options_ = options; }

 signals:
  // On the window thread, when the build has ended in any way.
  void buildFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void StartIndex();
  void Command2_Click();
  void OnStage(const QString& stage);
  void OnCurrentItem(const QString& label, const QString& item);
  void OnCounts(qint64 done, qint64 total);
  void OnFinished();

  catalog::IndexDefinition def_;
  indexer::BuildOptions options_;
  indexer::BuildResult result_;
  std::unique_ptr<QtHost> host_;
  QThread* worker_ = nullptr;
  bool started_ = false;
  bool destroying_ = false;
  bool running_ = false;
  bool finished_ = false;
  QString counterPrefix_, of_;
  QLabel* indexLabel_ = nullptr;
  QLabel* stage_ = nullptr;
  QLabel* itemLabel_ = nullptr;
  QLabel* item_ = nullptr;
  QLabel* counter_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* button_ = nullptr;
};

}  // namespace zyl::ui
