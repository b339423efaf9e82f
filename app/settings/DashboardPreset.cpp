#include "settings/DashboardPreset.h"

#include "settings/UuidText.h"

namespace kivo {

const QUuid DashboardPreset::overviewID = QUuid::fromString(u"0F1D0000-0000-4000-8000-000000000001");
const QUuid DashboardPreset::performanceID = QUuid::fromString(u"0F1D0000-0000-4000-8000-000000000002");
const QUuid DashboardPreset::compactID = QUuid::fromString(u"0F1D0000-0000-4000-8000-000000000003");

namespace {

using K = WidgetKind;
using S = WidgetSize;

std::vector<WidgetConfig> shipped(std::initializer_list<std::pair<K, S>> layout) {
  std::vector<WidgetConfig> result;
  result.reserve(layout.size());
  for (const auto& [kind, size] : layout) result.emplace_back(kind, size);
  return result;
}

}  // namespace

std::vector<DashboardPreset> DashboardPreset::builtIn() {
  return {
      {overviewID, QStringLiteral("Overview"),
       shipped({{K::cpu, S::medium},
                {K::memory, S::medium},
                {K::gpu, S::small},
                {K::thermal, S::small},
                {K::battery, S::small},
                {K::system, S::small},
                {K::network, S::medium},
                {K::diskActivity, S::medium},
                {K::disk, S::medium},
                {K::topCPU, S::medium},
                {K::cores, S::medium},
                {K::alerts, S::medium}}),
       true},
      {performanceID, QStringLiteral("Performance"),
       shipped({{K::cpu, S::large},
                {K::cores, S::medium},
                {K::topCPU, S::medium},
                {K::memory, S::medium},
                {K::topMemory, S::medium},
                {K::gpu, S::medium},
                {K::overhead, S::medium}}),
       true},
      {compactID, QStringLiteral("Compact"),
       shipped({{K::cpu, S::small},
                {K::memory, S::small},
                {K::network, S::small},
                {K::diskActivity, S::small},
                {K::battery, S::small},
                {K::thermal, S::small},
                {K::gpu, S::small},
                {K::system, S::small}}),
       true},
  };
}

std::optional<DashboardPreset> DashboardPreset::builtIn(const QUuid& id) {
  for (auto& preset : builtIn()) {
    if (preset.id == id) return std::move(preset);
  }
  return std::nullopt;
}

QJsonArray DashboardPreset::widgetsToJson(const std::vector<WidgetConfig>& widgets) {
  QJsonArray array;
  for (const auto& widget : widgets) array.append(widget.toJson());
  return array;
}

std::optional<std::vector<WidgetConfig>> DashboardPreset::widgetsFromJson(const QJsonValue& value) {
  if (!value.isArray()) return std::nullopt;
  const QJsonArray array = value.toArray();
  std::vector<WidgetConfig> result;
  result.reserve(static_cast<std::size_t>(array.size()));
  for (const QJsonValue& item : array) {
    auto widget = WidgetConfig::fromJson(item);
    if (!widget) return std::nullopt;
    result.push_back(*widget);
  }
  return result;
}

QJsonObject DashboardPreset::toJson() const {
  return QJsonObject{{QStringLiteral("id"), UuidText::format(id)},
                     {QStringLiteral("name"), name},
                     {QStringLiteral("widgets"), widgetsToJson(widgets)},
                     {QStringLiteral("isBuiltIn"), isBuiltIn}};
}

std::optional<DashboardPreset> DashboardPreset::fromJson(const QJsonValue& value) {
  if (!value.isObject()) return std::nullopt;
  const QJsonObject object = value.toObject();
  const QJsonValue idValue = object.value(QStringLiteral("id"));
  const QJsonValue nameValue = object.value(QStringLiteral("name"));
  const QJsonValue builtInValue = object.value(QStringLiteral("isBuiltIn"));
  const auto id = idValue.isString() ? UuidText::parse(idValue.toString()) : std::nullopt;
  auto widgets = widgetsFromJson(object.value(QStringLiteral("widgets")));
  if (!id || !nameValue.isString() || !builtInValue.isBool() || !widgets) return std::nullopt;
  return DashboardPreset{*id, nameValue.toString(), std::move(*widgets), builtInValue.toBool()};
}

}  // namespace kivo
