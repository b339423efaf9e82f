#include "collectors/DNSConfiguration.h"
#include "collectors/LatencyResult.h"
#include "collectors/NetworkSample.h"
#include "collectors/WiFiLink.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace kivo;

namespace {
template <typename T>
std::optional<T> throughText(const T& value) {
  return T::fromJson(QJsonDocument::fromJson(QJsonDocument(value.toJson()).toJson()).object());
}
}  // namespace

TEST(InterfaceKind, RawValuesAndTotals) {
  ASSERT_EQ(InterfaceKinds::allCases().size(), 7u);
  for (auto kind : InterfaceKinds::allCases()) {
    EXPECT_EQ(InterfaceKinds::fromRawValue(InterfaceKinds::rawValue(kind)), kind);
  }
  EXPECT_EQ(InterfaceKinds::rawValue(InterfaceKind::wifi), "wifi");
  EXPECT_FALSE(InterfaceKinds::fromRawValue("WiFi"));
  EXPECT_TRUE(InterfaceKinds::countsTowardTotal(InterfaceKind::cellular));
  EXPECT_FALSE(InterfaceKinds::countsTowardTotal(InterfaceKind::bridge));
  EXPECT_FALSE(InterfaceKinds::countsTowardTotal(InterfaceKind::tunnel));
}

TEST(NetworkInterface, ActiveNeedsUpRunningAndAnAddress) {
  NetworkInterface i;
  i.isUp = true;
  i.isRunning = true;
  EXPECT_FALSE(i.isActive());
  i.ipv6 = QStringList{"fe80::1"};
  EXPECT_TRUE(i.isActive());
  i.isRunning = false;
  EXPECT_FALSE(i.isActive());
}

TEST(NetworkSample, JsonRoundTrip) {
  NetworkInterface wlan;
  wlan.name = "wlp2s0";
  wlan.kind = InterfaceKind::wifi;
  wlan.isUp = wlan.isRunning = true;
  wlan.ipv4 = QStringList{"192.168.1.20"};
  wlan.ipv6 = QStringList{"fe80::1", "fe80::1"};
  wlan.mtu = 1500;
  wlan.totalBytesIn = 123456789012ull;
  wlan.downRate = 1000000.0;
  NetworkInterface lo;
  lo.name = "lo";
  lo.kind = InterfaceKind::loopback;
  lo.linkSpeed = 0;
  const NetworkSample sample{{wlan, lo}, 1000000.0, std::nullopt, QStringLiteral("wlp2s0")};
  const QJsonObject json = sample.toJson();
  EXPECT_EQ(json.value("interfaces").toArray()[0].toObject().value("kind").toString(), "wifi");
  EXPECT_FALSE(json.value("interfaces").toArray()[0].toObject().contains("linkSpeed"));
  EXPECT_FALSE(json.contains("upRate"));
  EXPECT_EQ(throughText(sample), sample);

  QJsonObject badKind = json;
  QJsonArray list = json.value("interfaces").toArray();
  QJsonObject first = list[0].toObject();
  first.insert("kind", "wlan");
  list[0] = first;
  badKind.insert("interfaces", list);
  EXPECT_FALSE(NetworkSample::fromJson(badKind));
}

TEST(DNSConfiguration, JsonRoundTripAndEquality) {
  const DNSConfiguration dns{{"192.168.1.1", "2001:db8::1"}, {}, QStringLiteral("192.168.1.1"), std::nullopt};
  EXPECT_FALSE(dns.toJson().contains("primaryInterface"));
  EXPECT_EQ(throughText(dns), dns);
  QJsonObject missing = dns.toJson();
  missing.remove("searchDomains");
  EXPECT_FALSE(DNSConfiguration::fromJson(missing));
}

TEST(WiFiLink, EqualityAndJson) {
  WiFiLink a{"wlan0", true, -52, -95, 866.7, 36, QStringLiteral("5 GHz"), QStringLiteral("802.11ax")};
  WiFiLink b = a;
  EXPECT_EQ(a, b);
  b.rssi = -53;
  EXPECT_NE(a, b);
  EXPECT_EQ(throughText(a), a);
  const WiFiLink idle{"wlan0",      true,         std::nullopt, std::nullopt,
                      std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(idle.toJson().keys(), (QStringList{"interface", "isPoweredOn"}));
  EXPECT_EQ(throughText(idle), idle);
}

TEST(LatencyResult, DerivedFiguresAndJson) {
  const LatencyResult r{"example.test", 70000, {10, 20, 30}, 5};
  EXPECT_EQ(r.failures(), 2);
  EXPECT_EQ(r.minimum(), 10);
  EXPECT_EQ(r.maximum(), 30);
  EXPECT_EQ(r.average(), 20);
  EXPECT_EQ(throughText(r), r);
  const LatencyResult none{"h", 443, {}, 0};
  EXPECT_EQ(none.failures(), 0);
  EXPECT_FALSE(none.minimum());
  EXPECT_FALSE(none.maximum());
  EXPECT_FALSE(none.average());
}
