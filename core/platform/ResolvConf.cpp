#include "platform/ResolvConf.h"

#include "platform/KernelFiles.h"

namespace kivo::ResolvConf {

namespace {
QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

ResolverFile parse(std::string_view text) {
  ResolverFile file;
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    // A comment runs from '#' or ';' to the end of the line.
    if (const auto comment = line.find_first_of("#;"); comment != std::string_view::npos) {
      line = line.substr(0, comment);
    }
    std::string_view keyword;
    if (!KernelText::nextToken(line, keyword)) continue;
    if (keyword == "nameserver") {
      std::string_view address;
      if (KernelText::nextToken(line, address)) file.servers.append(toQString(address));
    } else if (keyword == "search" || keyword == "domain") {
      QStringList domains;
      std::string_view domain;
      while (KernelText::nextToken(line, domain)) domains.append(toQString(domain));
      if (keyword == "domain" && domains.size() > 1) domains = domains.mid(0, 1);
      if (!domains.isEmpty()) file.searchDomains = domains;
    }
  }
  return file;
}

bool isStub(const ResolverFile& file) {
  if (file.servers.isEmpty()) return false;
  for (const auto& server : file.servers) {
    if (server != QLatin1String("127.0.0.53") && server != QLatin1String("127.0.0.54")) return false;
  }
  return true;
}

}  // namespace kivo::ResolvConf
