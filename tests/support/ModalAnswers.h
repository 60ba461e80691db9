// Answers the modal dialogs a test's action opens, one answer per dialog, in order: the test
// queues its answers, runs the action (whose exec() blocks), and finds out what was asked.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

namespace zyl::test {

class ModalAnswers {
 public:
  using Answer = std::function<void(QWidget* dialog)>;

  ModalAnswers() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  // `kind`: the class the dialog must have to take this answer (any modal widget when null),
  // so that a modal window that is merely open is not taken for the awaited dialog.
  void Then(Answer answer, const char* kind = nullptr) {
    answers_.push_back({std::move(answer), kind});
  }
  // Presses a button of the next message box and records its text.
  void Press(QMessageBox::StandardButton button) {
    Then(
        [this, button](QWidget* dialog) {
          auto* box = qobject_cast<QMessageBox*>(dialog);
          if (!box) return;
          texts_.push_back(box->text());
          icons_.push_back(box->icon());
          box->button(button)->click();
        },
        "QMessageBox");
  }

  const QStringList& Texts() const { return texts_; }
  const std::vector<QMessageBox::Icon>& Icons() const { return icons_; }
  bool AllAnswered() const { return answers_.empty(); }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == answered_ || answers_.empty()) return;
    if (answers_.front().kind && !modal->inherits(answers_.front().kind)) return;
    answered_ = modal;
    Answer answer = std::move(answers_.front().answer);
    answers_.pop_front();
    answer(modal);
  }

  QTimer timer_;
  struct Pending {
    Answer answer;
    const char* kind;
  };
  std::deque<Pending> answers_;
  QPointer<QWidget> answered_;
  QStringList texts_;
  std::vector<QMessageBox::Icon> icons_;
};

}  // namespace zyl::test
