#pragma once

#include <QStringList>

#include <string_view>

namespace kivo {

// What a resolv.conf file lists.
struct ResolverFile {
  QStringList servers;        // every nameserver line, in order
  QStringList searchDomains;  // the last search or domain line wins, as in the resolver itself
};

namespace ResolvConf {
ResolverFile parse(std::string_view text);
// systemd-resolved's local stub listens on 127.0.0.53 (and 127.0.0.54); behind it the real
// servers are in /run/systemd/resolve/resolv.conf.
bool isStub(const ResolverFile& file);
}  // namespace ResolvConf

}  // namespace kivo
