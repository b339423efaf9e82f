#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonObject>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// How a figure is obtained on this computer.
enum class CapabilityClass {
  publicAPI,
  userAuthorization,
  systemCommand,
  privilegedHelper,
  unavailable,
  estimated,
  bestEffort,
};

inline constexpr auto kCapabilityClassRawValues =
    rawValueTable<CapabilityClass>({{CapabilityClass::publicAPI, "publicAPI"},
                                    {CapabilityClass::userAuthorization, "userAuthorization"},
                                    {CapabilityClass::systemCommand, "systemCommand"},
                                    {CapabilityClass::privilegedHelper, "privilegedHelper"},
                                    {CapabilityClass::unavailable, "unavailable"},
                                    {CapabilityClass::estimated, "estimated"},
                                    {CapabilityClass::bestEffort, "bestEffort"}});

struct Capability : RawValueLookups<kCapabilityClassRawValues> {};

// One row of the sensor capability table.
struct SensorCapability {
  QString id;  // dotted identifier; the row's identity
  QString name;
  QString category;
  CapabilityClass classification = CapabilityClass::unavailable;
  bool present = false;
  QString source;  // "—" when there is none
  QString note;    // empty when there is none

  bool operator==(const SensorCapability&) const = default;

  QJsonObject toJson() const;
  // Every key is required.
  static std::optional<SensorCapability> fromJson(const QJsonObject& object);
};

}  // namespace kivo
