#pragma once

#include "collectors/DNSConfiguration.h"

#include <string>

namespace kivo::DNSReader {

// Name servers and search domains from /etc/resolv.conf, or, when that only points at
// systemd-resolved's local stub, from the servers behind it; router and primary interface from
// the IPv4 default route with the lowest metric. Never fails: missing parts are empty or absent.
DNSConfiguration read(const std::string& root = "/");

}  // namespace kivo::DNSReader
