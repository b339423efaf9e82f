#include "platform/Wireless.h"

#include "platform/KernelFiles.h"

#include <linux/nl80211.h>
#include <netlink/attr.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <charconv>
#include <cmath>

namespace kivo {

namespace {

struct SocketHolder {
  nl_sock* sock = nl_socket_alloc();
  ~SocketHolder() {
    if (sock) nl_socket_free(sock);
  }
};

int onFinish(nl_msg*, void* arg) {
  *static_cast<int*>(arg) = 0;
  return NL_SKIP;
}

int onAck(nl_msg*, void* arg) {
  *static_cast<int*>(arg) = 0;
  return NL_STOP;
}

int onError(sockaddr_nl*, nlmsgerr* error, void* arg) {
  *static_cast<int*>(arg) = error->error < 0 ? error->error : -1;
  return NL_STOP;
}

nlattr* const* parseAttributes(nl_msg* msg, nlattr** table) {
  auto* header = static_cast<genlmsghdr*>(nlmsg_data(nlmsg_hdr(msg)));
  if (nla_parse(table, NL80211_ATTR_MAX, genlmsg_attrdata(header, 0), genlmsg_attrlen(header, 0), nullptr) <
      0) {
    return nullptr;
  }
  return table;
}

int onInterface(nl_msg* msg, void* arg) {
  nlattr* table[NL80211_ATTR_MAX + 1] = {};
  if (!parseAttributes(msg, table)) return NL_SKIP;
  auto* reading = static_cast<WirelessReading*>(arg);
  if (table[NL80211_ATTR_WIPHY_FREQ]) reading->frequency = nla_get_u32(table[NL80211_ATTR_WIPHY_FREQ]);
  return NL_SKIP;
}

int onStation(nl_msg* msg, void* arg) {
  auto* reading = static_cast<WirelessReading*>(arg);
  if (reading->station) return NL_SKIP;  // a client has one station: its access point
  nlattr* table[NL80211_ATTR_MAX + 1] = {};
  if (!parseAttributes(msg, table) || !table[NL80211_ATTR_STA_INFO]) return NL_SKIP;
  nlattr* info[NL80211_STA_INFO_MAX + 1] = {};
  if (nla_parse_nested(info, NL80211_STA_INFO_MAX, table[NL80211_ATTR_STA_INFO], nullptr) < 0) return NL_SKIP;
  WirelessStation station;
  if (info[NL80211_STA_INFO_SIGNAL]) {
    station.signal = static_cast<std::int8_t>(nla_get_u8(info[NL80211_STA_INFO_SIGNAL]));
  }
  if (info[NL80211_STA_INFO_TX_BITRATE]) {
    nlattr* rate[NL80211_RATE_INFO_MAX + 1] = {};
    if (nla_parse_nested(rate, NL80211_RATE_INFO_MAX, info[NL80211_STA_INFO_TX_BITRATE], nullptr) >= 0) {
      // Units of 100 kbit/s.
      if (rate[NL80211_RATE_INFO_BITRATE32]) {
        station.transmitRate = nla_get_u32(rate[NL80211_RATE_INFO_BITRATE32]) / 10.0;
      } else if (rate[NL80211_RATE_INFO_BITRATE]) {
        station.transmitRate = nla_get_u16(rate[NL80211_RATE_INFO_BITRATE]) / 10.0;
      }
      if (rate[NL80211_RATE_INFO_EHT_MCS]) {
        station.rateKind = WirelessRateKind::eht;
      } else if (rate[NL80211_RATE_INFO_HE_MCS]) {
        station.rateKind = WirelessRateKind::he;
      } else if (rate[NL80211_RATE_INFO_VHT_MCS]) {
        station.rateKind = WirelessRateKind::vht;
      } else if (rate[NL80211_RATE_INFO_MCS]) {
        station.rateKind = WirelessRateKind::ht;
      } else if (station.transmitRate) {
        station.rateKind = WirelessRateKind::legacy;
      }
    }
  }
  reading->station = station;
  return NL_SKIP;
}

int onSurvey(nl_msg* msg, void* arg) {
  nlattr* table[NL80211_ATTR_MAX + 1] = {};
  if (!parseAttributes(msg, table) || !table[NL80211_ATTR_SURVEY_INFO]) return NL_SKIP;
  nlattr* survey[NL80211_SURVEY_INFO_MAX + 1] = {};
  if (nla_parse_nested(survey, NL80211_SURVEY_INFO_MAX, table[NL80211_ATTR_SURVEY_INFO], nullptr) < 0)
    return NL_SKIP;
  if (survey[NL80211_SURVEY_INFO_IN_USE] && survey[NL80211_SURVEY_INFO_NOISE]) {
    static_cast<WirelessReading*>(arg)->noise =
        static_cast<std::int8_t>(nla_get_u8(survey[NL80211_SURVEY_INFO_NOISE]));
  }
  return NL_SKIP;
}

// Sends one nl80211 command for an interface and feeds every answer to the handler.
bool ask(nl_sock* sock, int family, std::uint8_t command, bool dump, int ifindex, nl_recvmsg_msg_cb_t handler,
         void* arg) {
  nl_msg* msg = nlmsg_alloc();
  if (!msg) return false;
  if (!genlmsg_put(msg, NL_AUTO_PORT, NL_AUTO_SEQ, family, 0, dump ? NLM_F_DUMP : 0, command, 0) ||
      nla_put_u32(msg, NL80211_ATTR_IFINDEX, static_cast<std::uint32_t>(ifindex)) < 0) {
    nlmsg_free(msg);
    return false;
  }
  nl_cb* callbacks = nl_cb_alloc(NL_CB_DEFAULT);
  if (!callbacks) {
    nlmsg_free(msg);
    return false;
  }
  int status = 1;
  nl_cb_set(callbacks, NL_CB_VALID, NL_CB_CUSTOM, handler, arg);
  nl_cb_set(callbacks, NL_CB_FINISH, NL_CB_CUSTOM, onFinish, &status);
  nl_cb_set(callbacks, NL_CB_ACK, NL_CB_CUSTOM, onAck, &status);
  nl_cb_err(callbacks, NL_CB_CUSTOM, onError, &status);
  const int sent = nl_send_auto(sock, msg);
  nlmsg_free(msg);
  if (sent >= 0) {
    while (status > 0) {
      if (nl_recvmsgs(sock, callbacks) < 0) break;  // includes the receive timeout
    }
  }
  nl_cb_put(callbacks);
  return sent >= 0 && status == 0;
}

}  // namespace

std::optional<WirelessReading> Nl80211Source::read(int ifindex) {
  SocketHolder holder;
  if (!holder.sock || genl_connect(holder.sock) < 0) return std::nullopt;
  timeval timeout{1, 0};
  ::setsockopt(nl_socket_get_fd(holder.sock), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  const int family = genl_ctrl_resolve(holder.sock, "nl80211");
  if (family < 0) return std::nullopt;
  WirelessReading reading;
  if (!ask(holder.sock, family, NL80211_CMD_GET_INTERFACE, false, ifindex, onInterface, &reading)) {
    return std::nullopt;  // not an nl80211 interface
  }
  ask(holder.sock, family, NL80211_CMD_GET_STATION, true, ifindex, onStation, &reading);
  if (reading.station) ask(holder.sock, family, NL80211_CMD_GET_SURVEY, true, ifindex, onSurvey, &reading);
  if (!reading.station) reading.frequency.reset();  // a channel without a link says nothing
  return reading;
}

std::optional<ProcWirelessLine> ProcWireless::find(std::string_view table, std::string_view name) {
  std::string_view line;
  while (KernelText::nextLine(table, line)) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || KernelText::trim(line.substr(0, colon)) != name) continue;
    std::string_view rest = line.substr(colon + 1);
    std::string_view status, link, level, noise;
    if (!KernelText::nextToken(rest, status) || !KernelText::nextToken(rest, link) ||
        !KernelText::nextToken(rest, level) || !KernelText::nextToken(rest, noise)) {
      return ProcWirelessLine{};
    }
    // Values carry a '.' when the driver updated them since the last read.
    const auto number = [](std::string_view token) -> std::optional<int> {
      while (!token.empty() && token.back() == '.') token.remove_suffix(1);
      const auto value = KernelText::parseInt(token);
      if (!value || *value < -1000 || *value > 1000) return std::nullopt;
      return static_cast<int>(*value);
    };
    ProcWirelessLine result;
    const auto quality = number(link);
    const auto signal = number(level);
    const auto floor = number(noise);
    // Not associated: no quality and no level. A noise of -256 or 0 means the driver has none.
    if (signal && *signal < 0 && quality && *quality > 0) result.signal = *signal;
    if (floor && *floor < 0 && *floor > -256) result.noise = *floor;
    return result;
  }
  return std::nullopt;
}

}  // namespace kivo
