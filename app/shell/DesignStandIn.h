#pragma once
// Temporary: a title-only page header until the design system's PageHeader lands.

#include <QWidget>

#include <optional>

namespace kivo {

class PageHeader : public QWidget {
 public:
  PageHeader(const QString& title, std::optional<QString> subtitle, QWidget* parent = nullptr);
};

}  // namespace kivo
