#include "shell/SectionPages.h"

#include "design/Tokens.h"
#include "shell/DesignStandIn.h"
#include "texts/Localized.h"

#include <QPainter>
#include <QVBoxLayout>

namespace kivo {

namespace {

// A section whose page is not built yet: its header on the canvas and nothing else.
class HeaderOnlyPage : public QWidget {
 public:
  HeaderOnlyPage(AppSection section, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(new PageHeader(kivo::tr(AppSections::titleKey(section)), std::nullopt, this));
    layout->addStretch(1);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Palette::canvas.resolve(this));
  }
};

}  // namespace

QWidget* SectionPages::create(AppSection section, const PageContext&, QWidget* parent) {
  QWidget* page = nullptr;
  switch (section) {
    // Each page plugs in here as it is built.
    default:
      page = new HeaderOnlyPage(section, parent);
      break;
  }
  page->setObjectName(QStringLiteral("section.") + AppSections::rawValue(section));
  return page;
}

}  // namespace kivo
