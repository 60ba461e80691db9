// The address under which the document server can be reached from other machines, as its
// window shows it: a listener on every interface is reached through the machine's own address,
// not through 127.0.0.1.
#pragma once

#include <string>
#include <string_view>

namespace zyl::server {

// The address for `bindAddress` (the listener's setting): "" means every interface and gives
// the first IPv4 address of an interface that is up and not the loopback one (127.0.0.1 when
// there is none); "localhost" gives 127.0.0.1; anything else is shown as it is.
std::string ServerAddress(std::string_view bindAddress);

// "http://" + address + ":" + port + "/?action=hello", an IPv6 address in brackets.
std::string SearchPageLink(std::string_view address, int port);

}  // namespace zyl::server
