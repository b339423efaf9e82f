#include "shell/DesignStandIn.h"

#include "design/Tokens.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kivo {

PageHeader::PageHeader(const QString& title, std::optional<QString> subtitle, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(title, this);
  label->setFont(Typeface::system(20, QFont::Bold));
  layout->addWidget(label);
  if (subtitle) layout->addWidget(new QLabel(*subtitle, this));
}

}  // namespace kivo
