#pragma once

#include "collectors/WiFiLink.h"
#include "platform/Wireless.h"

#include <optional>
#include <string>

namespace kivo::WiFiReader {

// The Wi-Fi interface's link: the first wireless interface that is up (else the first by name);
// absent when there is none. Signal, rate, channel and band are absent while not associated.
std::optional<WiFiLink> read(const std::string& root = "/", WirelessSource* source = nullptr);

// 2412 -> 1, 2484 -> 14, 5180 -> 36, 5955 -> 1 (6 GHz); absent for a frequency of no known band.
std::optional<int> channel(unsigned frequency);
// "2.4 GHz", "5 GHz" or "6 GHz".
std::optional<QString> band(unsigned frequency);
// "802.11ax" for HE rates and so on down to "802.11b" for the old 2.4 GHz rates; "802.11" for
// generations newer than 802.11ax.
std::optional<QString> phyMode(std::optional<WirelessRateKind> kind, std::optional<double> rate,
                               std::optional<unsigned> frequency);

}  // namespace kivo::WiFiReader
