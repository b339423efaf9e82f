#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kivo::TcpHandshake {

// Milliseconds from the call until a TCP connection to host:port is established, name
// resolution included; absent when every address refuses or is unreachable, or when the
// timeout (seconds) passes first. Nothing is sent: the socket is closed once connected.
std::optional<double> connect(const std::string& host, std::uint16_t port, double timeout);

}  // namespace kivo::TcpHandshake
