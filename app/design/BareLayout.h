#pragma once

#include <QBoxLayout>

#include <optional>

class QWidget;

namespace kivo {

// A column or a row without margins, on `parent` when one is given: how most of our widgets
// stack their parts. Without a spacing the style's stays.
QVBoxLayout* bareColumn(QWidget* parent = nullptr, std::optional<int> spacing = std::nullopt);
QHBoxLayout* bareRow(QWidget* parent = nullptr, std::optional<int> spacing = std::nullopt);

}  // namespace kivo
