// The document server window (frmServer): owns the server's listener while it is open, shows
// the address, host name, port and the link to the search page, and restarts the listener on
// the port set in the options dialog. A port that cannot be opened is reported in the window,
// which stays open so that another port can be chosen.
#pragma once

#include <QMainWindow>
#include <string>

#include "server/ConnectionLayer.h"
#include "server/DocumentServer.h"

class QLabel;
class QLineEdit;

namespace zyl::ui {

class ServerWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Listens on `port` at `bindAddress` ("" = every interface) at once.
  ServerWindow(int port, std::string bindAddress, QWidget* parent = nullptr);
  ~ServerWindow() override;

  // Starts listening on the port in force; a failure is kept for DrawForm.
  void ServerUp();
  // Closes the listener and every connection.
  void ServerShutDown();
  // Shows the listener's address, host name, port and link (or why it is not listening).
  void DrawForm();
  Q_INVOKABLE void ApplyLanguage();

  // Menu commands.
  void ShowOptions();
  void ShutDown();
  void ShowHelpPage();
  void ShowAbout();
  void OpenLink();

  const server::ConnectionLayer& layer() const { return layer_; }

 signals:
  // "Выход": the server is down; whoever runs the program ends it.
  void exitRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int Px(int twips) const;

  server::DocumentServer handler_;
  server::ConnectionLayer layer_;
  int port_;
  std::string bindAddress_;
  std::string failure_;  // why the last ServerUp failed; "" while listening

  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QLabel* label5_ = nullptr;
  QLabel* status_ = nullptr;
};

// The program with the server window as its only window; runs until the window is closed or
// its Exit command. Settings must be loaded. Returns the exit status.
int RunServerWindow(int port, std::string bindAddress);

}  // namespace zyl::ui
