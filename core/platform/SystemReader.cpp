#include "platform/SystemReader.h"

#include "platform/CPUStatReader.h"

#include <sys/utsname.h>
#include <unistd.h>

namespace kivo {

std::optional<std::string> SystemReader::osReleaseValue(std::string_view text, std::string_view key) {
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    line = KernelText::trim(line);
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') continue;
    std::string_view value = line.substr(key.size() + 1);
    std::string result;
    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
      const char quote = value.front();
      value.remove_prefix(1);
      for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == quote) break;
        // Inside double quotes a backslash escapes the next character.
        if (quote == '"' && c == '\\' && i + 1 < value.size()) {
          result.push_back(value[++i]);
        } else {
          result.push_back(c);
        }
      }
    } else {
      result = std::string(value);
    }
    return result;
  }
  return std::nullopt;
}

SystemFacts SystemReader::read() const {
  SystemFacts facts;
  if (auto product = files_.readLine("/sys/class/dmi/id/product_name"); product && !product->empty()) {
    facts.productName = std::move(*product);
  }
  // os-release(5): /etc/os-release, else the vendor copy in /usr/lib.
  std::string buffer;
  if (files_.read("/etc/os-release", buffer) || files_.read("/usr/lib/os-release", buffer)) {
    if (auto pretty = osReleaseValue(buffer, "PRETTY_NAME"); pretty && !pretty->empty()) {
      facts.prettyName = std::move(*pretty);
    }
  }
  if (files_.read("/proc/meminfo", buffer)) facts.memTotal = KernelText::tableNumber(buffer, "MemTotal");
  facts.bootTime = CPUStatReader::readBootTime(files_);

  struct utsname names {};
  if (::uname(&names) == 0 && names.release[0] != '\0') facts.kernelRelease = std::string(names.release);
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') facts.hostName = std::string(host);
  return facts;
}

}  // namespace kivo
