#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>

namespace kivo {

// What the network path is computed from: links, which of them carry a routable address, and
// which carry a default route. Built from rtnetlink dumps.
struct RtnetlinkState {
  struct Link {
    std::string name;
    unsigned flags = 0;  // IFF_*
    unsigned type = 0;   // ARPHRD_*
    std::string kind;    // IFLA_INFO_KIND of a virtual link ("veth", "bridge"); empty otherwise
    bool operator==(const Link&) const = default;
  };
  std::map<int, Link> links;             // by interface index, so in index order
  std::set<int> addressed;               // indexes with a global or site address
  std::set<int> defaultRoutes;           // output interfaces of default unicast routes
  bool defaultViaNexthopObject = false;  // a default route names a nexthop object, not an interface

  void clear();
  bool operator==(const RtnetlinkState&) const = default;
};

// Parses rtnetlink messages (RTM_NEWLINK, RTM_NEWADDR, RTM_NEWROUTE, NLMSG_DONE, NLMSG_ERROR)
// into a state. Every length is checked; a truncated or malformed message ends the parse and is
// reported, never read past. No alignment is assumed of the buffer.
class RtnetlinkParser {
 public:
  struct Result {
    bool done = false;         // NLMSG_DONE or an error reply ended the dump
    int error = 0;             // errno of an NLMSG_ERROR reply, 0 for none or an acknowledgement
    bool malformed = false;    // a length did not fit; the rest of the buffer was dropped
    bool interrupted = false;  // the kernel flagged the dump as inconsistent
  };

  static Result parse(const void* data, std::size_t size, RtnetlinkState& state);
};

}  // namespace kivo
