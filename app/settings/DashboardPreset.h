#pragma once

#include "settings/WidgetConfig.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace kivo {

// A named dashboard layout: the widgets in display order.
struct DashboardPreset {
  QUuid id;
  QString name;
  std::vector<WidgetConfig> widgets;
  bool isBuiltIn = false;

  bool operator==(const DashboardPreset&) const = default;

  static const QUuid overviewID;     // 0F1D0000-0000-4000-8000-000000000001
  static const QUuid performanceID;  // 0F1D0000-0000-4000-8000-000000000002
  static const QUuid compactID;      // 0F1D0000-0000-4000-8000-000000000003

  // Overview, Performance and Compact as shipped, built anew on every call: every widget
  // gets a new random id each time.
  static std::vector<DashboardPreset> builtIn();
  // The shipped built-in with this id, if it is one.
  static std::optional<DashboardPreset> builtIn(const QUuid& id);

  // {"id", "name", "widgets", "isBuiltIn"}, all required; one bad widget rejects the preset.
  QJsonObject toJson() const;
  static std::optional<DashboardPreset> fromJson(const QJsonValue& value);

  static QJsonArray widgetsToJson(const std::vector<WidgetConfig>& widgets);
  // All or nothing: one bad widget rejects the list.
  static std::optional<std::vector<WidgetConfig>> widgetsFromJson(const QJsonValue& value);
};

}  // namespace kivo
