#include "server/ServerAddress.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include "base/Strings.h"

namespace zyl::server {

std::string ServerAddress(std::string_view bindAddress) {
  const std::string_view wanted = base::TrimView(bindAddress);
  if (base::EqualsNoCase(wanted, "localhost")) return "127.0.0.1";
  if (!wanted.empty()) return std::string(wanted);
  for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
    const auto flags = face.flags();
    if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
        flags.testFlag(QNetworkInterface::IsLoopBack)) {
      continue;
    }
    for (const QNetworkAddressEntry& entry : face.addressEntries()) {
      const QHostAddress ip = entry.ip();
      if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()) {
        return ip.toString().toStdString();
      }
    }
  }
  return "127.0.0.1";
}

std::string SearchPageLink(std::string_view address, int port) {
  const std::string host = address.find(':') != std::string_view::npos
                               ? "[" + std::string(address) + "]"
                               : std::string(address);
  return "http://" + host + ":" + std::to_string(port) + "/?action=hello";
}

}  // namespace zyl::server
