#include "collectors/DNSReader.h"

#include "collectors/NetworkCollector.h"
#include "platform/KernelFiles.h"
#include "platform/ResolvConf.h"
#include "platform/RouteTable.h"

#include <unistd.h>

namespace kivo {

DNSConfiguration DNSReader::read(const std::string& root) {
  const KernelFiles files(root);
  DNSConfiguration dns;
  if (const auto text = files.readText("/etc/resolv.conf")) {
    ResolverFile resolver = ResolvConf::parse(*text);
    char target[4096];
    const std::string link = files.path("/etc/resolv.conf");
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    const bool linkedToStub =
        n > 0 && std::string_view(target, static_cast<std::size_t>(n)).find("stub-resolv.conf") !=
                     std::string_view::npos;
    if (linkedToStub || ResolvConf::isStub(resolver)) {
      if (const auto upstream = files.readText("/run/systemd/resolve/resolv.conf")) {
        resolver = ResolvConf::parse(*upstream);
      }
    }
    dns.servers = resolver.servers;
    dns.searchDomains = resolver.searchDomains;
  }
  if (const auto routes = files.readText("/proc/net/route")) {
    if (const auto route = RouteTable::defaultRoute(*routes)) {
      dns.primaryInterface = QString::fromStdString(route->interface);
      if (route->gateway) dns.router = QString::fromStdString(*route->gateway);
    }
  }
  return dns;
}

DNSConfiguration NetworkCollector::dns(const std::string& root) {
  return DNSReader::read(root);
}

}  // namespace kivo
