// The update window: updates the indexes it is given one after the other on a worker thread,
// with the update's log in a read-only view, a progress bar over the indexes and a stop button
// that becomes the close button when the run is over.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;

namespace zyl::ui {

class QtHost;

class UpdateWindow : public QDialog {
  Q_OBJECT

 public:
  // `descriptors`: the descriptor paths to update, in order. The run starts when the window is
  // first shown.
  explicit UpdateWindow(std::vector<std::string> descriptors, QWidget* parent = nullptr);
  ~UpdateWindow() override;

  // Appends text at the very end of the log.
  void AddRTF1Text(const QString& text);
  QString LogText() const;
  bool IsRunning() const { return running_; }
  // Sets the window's captions from the language file.
  void ApplyLanguage();

 signals:
  // On the window thread, before the worker starts on index `number` (from 0); the worker
  // waits until the window has taken note, so a stop requested here skips the rest.
  void indexStarted(int number);
  void runFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Command2_Click();  // runs the update of every index
  void Command3_Click();  // stop while running, close afterwards
  void StartLine();
  void OnIndexStarted(int number);
  void OnRunFinished();

  std::vector<std::string> descriptors_;
  std::unique_ptr<QtHost> host_;
  QThread* worker_ = nullptr;
  bool started_ = false;
  bool running_ = false;
  QLabel* indexLabel_ = nullptr;
  QLabel* indexPath_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* stopButton_ = nullptr;
};

}  // namespace zyl::ui
