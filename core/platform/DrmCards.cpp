#include "platform/DrmCards.h"

#include <algorithm>
#include <charconv>

namespace kivo::DrmCards {

namespace {

constexpr std::string_view kClassDir = "/sys/class/drm";

std::optional<std::uint32_t> parseHex(std::string_view text) {
  text = KernelText::trim(text);
  if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") text.remove_prefix(2);
  if (text.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "card12" → 12; connectors ("card0-DP-1") and render nodes are not cards.
std::optional<int> cardNumber(std::string_view name) {
  if (name.substr(0, 4) != "card") return std::nullopt;
  const auto number = KernelText::parseUInt(name.substr(4));
  if (!number || *number > 100'000) return std::nullopt;
  return static_cast<int>(*number);
}

std::optional<std::string> ueventValue(std::string_view text, std::string_view key) {
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || line.substr(0, equals) != key) continue;
    const auto value = KernelText::trim(line.substr(equals + 1));
    if (value.empty()) return std::nullopt;
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace

std::vector<DrmCard> read(const KernelFiles& files) {
  const std::vector<std::string> entries = files.list(kClassDir);
  std::vector<DrmCard> cards;
  for (const auto& name : entries) {
    const auto number = cardNumber(name);
    if (!number) continue;
    DrmCard card;
    card.number = *number;
    card.devicePath = std::string(kClassDir) + "/" + name + "/device";
    if (!files.exists(card.devicePath)) continue;  // a card without a device is no GPU
    if (const auto text = files.readLine(card.devicePath + "/vendor")) card.vendor = parseHex(*text);
    if (const auto text = files.readLine(card.devicePath + "/device")) card.device = parseHex(*text);
    if (const auto uevent = files.readText(card.devicePath + "/uevent"))
      card.driver = ueventValue(*uevent, "DRIVER");
    if (const auto removable = files.readLine(card.devicePath + "/removable")) {
      if (*removable == "removable") card.removable = true;
      if (*removable == "fixed") card.removable = false;
    }
    const std::string prefix = name + "-";
    for (const auto& other : entries) {
      if (other.compare(0, prefix.size(), prefix) != 0) continue;
      ++card.connectors;
      const auto status = files.readLine(std::string(kClassDir) + "/" + other + "/status");
      if (status && *status == "connected") card.displayConnected = true;
    }
    cards.push_back(std::move(card));
  }
  std::sort(cards.begin(), cards.end(),
            [](const DrmCard& a, const DrmCard& b) { return a.number < b.number; });
  return cards;
}

std::optional<std::string> lookupPciName(std::string_view database, std::uint32_t vendor,
                                         std::uint32_t device) {
  std::string_view line;
  bool inVendor = false;
  while (KernelText::nextLine(database, line)) {
    if (line.empty() || line.front() == '#') continue;
    if (line.front() != '\t') {
      // Vendor lines start with four hex digits; the class list ("C 03") ends the vendors.
      if (line.front() == 'C' && line.size() > 1 && line[1] == ' ') break;
      inVendor = line.size() > 4 && parseHex(line.substr(0, 4)) == vendor;
      continue;
    }
    if (!inVendor || (line.size() > 1 && line[1] == '\t')) continue;  // subsystem lines
    const auto body = line.substr(1);
    if (body.size() > 4 && parseHex(body.substr(0, 4)) == device) {
      const auto name = KernelText::trim(body.substr(4));
      if (name.empty()) return std::nullopt;
      return std::string(name);
    }
  }
  return std::nullopt;
}

std::optional<std::string> pciDeviceName(const KernelFiles& files, std::uint32_t vendor,
                                         std::uint32_t device) {
  std::string database;
  for (const char* path : {"/usr/share/hwdata/pci.ids", "/usr/share/misc/pci.ids"}) {
    if (!files.read(path, database)) continue;
    if (auto name = lookupPciName(database, vendor, device)) return name;
  }
  return std::nullopt;
}

}  // namespace kivo::DrmCards
