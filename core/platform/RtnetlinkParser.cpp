#include "platform/RtnetlinkParser.h"

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <cstring>

namespace kivo {

namespace {

// Buffers from a socket or a test need not be aligned: copy every header out.
template <typename T>
bool load(const unsigned char* data, std::size_t size, T& out) {
  if (size < sizeof(T)) return false;
  std::memcpy(&out, data, sizeof(T));
  return true;
}

constexpr int kMaxErrno = 4095;  // the kernel's MAX_ERRNO

constexpr std::size_t align4(std::size_t n) {
  return (n + 3u) & ~std::size_t(3);
}

// Calls visit(type, payload, length) for each attribute; false when one does not fit.
template <typename Visit>
bool forEachAttribute(const unsigned char* data, std::size_t size, Visit visit) {
  std::size_t offset = 0;
  while (size - offset >= sizeof(rtattr)) {
    rtattr attr{};
    load(data + offset, size - offset, attr);
    if (attr.rta_len < sizeof(rtattr) || attr.rta_len > size - offset) return false;
    visit(attr.rta_type & NLA_TYPE_MASK, data + offset + sizeof(rtattr), attr.rta_len - sizeof(rtattr));
    offset += align4(attr.rta_len);
    if (offset > size) break;
  }
  return true;
}

bool loadU32(const unsigned char* data, std::size_t size, std::uint32_t& out) {
  return load(data, size, out);
}

bool parseLink(const unsigned char* data, std::size_t size, RtnetlinkState& state) {
  ifinfomsg info{};
  if (!load(data, size, info)) return false;
  const std::size_t header = NLMSG_ALIGN(sizeof(ifinfomsg));
  if (size < header) return false;
  RtnetlinkState::Link link;
  link.flags = info.ifi_flags;
  link.type = info.ifi_type;
  bool nestedOk = true;
  const auto text = [](const unsigned char* p, std::size_t n, std::size_t limit) {
    std::size_t length = 0;
    while (length < n && length < limit && p[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(p), length);
  };
  const bool ok = forEachAttribute(
      data + header, size - header, [&](unsigned type, const unsigned char* p, std::size_t n) {
        if (type == IFLA_IFNAME) {
          link.name = text(p, n, IFNAMSIZ);
        } else if (type == IFLA_LINKINFO) {
          nestedOk = forEachAttribute(p, n, [&](unsigned inner, const unsigned char* q, std::size_t m) {
            if (inner == IFLA_INFO_KIND) link.kind = text(q, m, 32);
          });
        }
      });
  if (!ok || !nestedOk || info.ifi_index <= 0) return false;
  state.links[info.ifi_index] = std::move(link);
  return true;
}

bool parseAddress(const unsigned char* data, std::size_t size, RtnetlinkState& state) {
  ifaddrmsg info{};
  if (!load(data, size, info)) return false;
  const std::size_t header = NLMSG_ALIGN(sizeof(ifaddrmsg));
  if (size < header) return false;
  std::uint32_t flags = info.ifa_flags;
  const bool ok = forEachAttribute(data + header, size - header,
                                   [&](unsigned type, const unsigned char* p, std::size_t n) {
                                     if (type == IFA_FLAGS) loadU32(p, n, flags);
                                   });
  if (!ok) return false;
  // Link-local and host addresses do not reach anything beyond the link.
  if (info.ifa_scope >= RT_SCOPE_LINK || (flags & IFA_F_DADFAILED)) return true;
  if (info.ifa_index > 0) state.addressed.insert(static_cast<int>(info.ifa_index));
  return true;
}

bool parseRoute(const unsigned char* data, std::size_t size, RtnetlinkState& state) {
  rtmsg info{};
  if (!load(data, size, info)) return false;
  const std::size_t header = NLMSG_ALIGN(sizeof(rtmsg));
  if (size < header) return false;
  std::uint32_t table = info.rtm_table;
  std::uint32_t outputInterface = 0;
  bool nexthopObject = false;
  std::set<int> hops;
  bool hopsOk = true;
  const bool ok = forEachAttribute(
      data + header, size - header, [&](unsigned type, const unsigned char* p, std::size_t n) {
        if (type == RTA_TABLE) {
          loadU32(p, n, table);
        } else if (type == RTA_OIF) {
          loadU32(p, n, outputInterface);
        } else if (type == RTA_NH_ID) {
          nexthopObject = true;
        } else if (type == RTA_MULTIPATH) {
          std::size_t offset = 0;
          while (n - offset >= sizeof(rtnexthop)) {
            rtnexthop hop{};
            load(p + offset, n - offset, hop);
            if (hop.rtnh_len < sizeof(rtnexthop) || hop.rtnh_len > n - offset) {
              hopsOk = false;
              break;
            }
            if (!(hop.rtnh_flags & (RTNH_F_DEAD | RTNH_F_LINKDOWN)) && hop.rtnh_ifindex > 0)
              hops.insert(hop.rtnh_ifindex);
            offset += align4(hop.rtnh_len);
            if (offset > n) break;
          }
        }
      });
  if (!ok || !hopsOk) return false;
  if (info.rtm_dst_len != 0 || info.rtm_type != RTN_UNICAST || table == RT_TABLE_LOCAL) return true;
  if (outputInterface > 0) state.defaultRoutes.insert(static_cast<int>(outputInterface));
  state.defaultRoutes.insert(hops.begin(), hops.end());
  if (nexthopObject && outputInterface == 0 && hops.empty()) state.defaultViaNexthopObject = true;
  return true;
}

}  // namespace

void RtnetlinkState::clear() {
  links.clear();
  addressed.clear();
  defaultRoutes.clear();
  defaultViaNexthopObject = false;
}

RtnetlinkParser::Result RtnetlinkParser::parse(const void* buffer, std::size_t size, RtnetlinkState& state) {
  Result result;
  const auto* data = static_cast<const unsigned char*>(buffer);
  std::size_t offset = 0;
  while (size - offset >= sizeof(nlmsghdr)) {
    nlmsghdr header{};
    load(data + offset, size - offset, header);
    if (header.nlmsg_len < NLMSG_HDRLEN || header.nlmsg_len > size - offset) {
      result.malformed = true;
      return result;
    }
    if (header.nlmsg_flags & NLM_F_DUMP_INTR) result.interrupted = true;
    const unsigned char* payload = data + offset + NLMSG_HDRLEN;
    const std::size_t length = header.nlmsg_len - NLMSG_HDRLEN;
    bool ok = true;
    switch (header.nlmsg_type) {
      case NLMSG_DONE:
        result.done = true;
        break;
      case NLMSG_ERROR: {
        // The kernel sends a negated errno (0 for an acknowledgement); anything beyond the
        // errno range is not an error reply, and negating INT_MIN would overflow.
        int error = 0;
        ok = load(payload, length, error) && error >= -kMaxErrno && error <= kMaxErrno;
        if (ok) result.error = error < 0 ? -error : error;
        result.done = true;
        break;
      }
      case RTM_NEWLINK:
        ok = parseLink(payload, length, state);
        break;
      case RTM_NEWADDR:
        ok = parseAddress(payload, length, state);
        break;
      case RTM_NEWROUTE:
        ok = parseRoute(payload, length, state);
        break;
      default:
        break;
    }
    if (!ok) {
      result.malformed = true;
      return result;
    }
    if (result.done) return result;
    offset += NLMSG_ALIGN(header.nlmsg_len);
    if (offset > size) break;
  }
  // Bytes left over that cannot hold a header.
  if (offset < size) result.malformed = true;
  return result;
}

}  // namespace kivo
