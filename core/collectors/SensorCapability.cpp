#include "collectors/SensorCapability.h"

#include "metrics/JsonFields.h"

#include <array>

namespace kivo {

QJsonObject SensorCapability::toJson() const {
  QJsonObject o;
  o.insert(QLatin1String("id"), id);
  o.insert(QLatin1String("name"), name);
  o.insert(QLatin1String("category"), category);
  const auto kind = Capability::rawValue(classification);
  o.insert(QLatin1String("classification"),
           QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())));
  o.insert(QLatin1String("present"), present);
  o.insert(QLatin1String("source"), source);
  o.insert(QLatin1String("note"), note);
  return o;
}

std::optional<SensorCapability> SensorCapability::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto id = J::optional<QString>(o, "id");
  const auto name = J::optional<QString>(o, "name");
  const auto category = J::optional<QString>(o, "category");
  const auto kindText = J::optional<QString>(o, "classification");
  const auto present = J::optional<bool>(o, "present");
  const auto source = J::optional<QString>(o, "source");
  const auto note = J::optional<QString>(o, "note");
  if (!id.value || !name.value || !category.value || !kindText.value || !present.value || !source.value ||
      !note.value) {
    return std::nullopt;
  }
  const auto kind = Capability::fromRawValue(kindText.value->toStdString());
  if (!kind) return std::nullopt;
  return SensorCapability{*id.value,      *name.value,   *category.value, *kind,
                          *present.value, *source.value, *note.value};
}

}  // namespace kivo
