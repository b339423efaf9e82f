#include "shell/RootView.h"

#include "design/BareLayout.h"
#include "design/Tokens.h"
#include "shell/Sidebar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

namespace kivo {

namespace {

// A one-pixel hairline between the sidebar and the detail column, coloured when painted.
class HairlineHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Palette::hairline.resolve(this)); }
};

class HairlineSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  QSplitterHandle* createHandle() override { return new HairlineHandle(orientation(), this); }
};

constexpr int kSidebarMinimum = 190;
constexpr int kSidebarIdeal = 215;
constexpr int kSidebarMaximum = 280;
}  // namespace

RootView::RootView(const PageContext& context, AppSection initial, bool testMode, QWidget* parent)
    : QWidget(parent), context_(context), section_(initial) {
  setObjectName(QStringLiteral("root"));
  auto* splitter = new HairlineSplitter(Qt::Horizontal, this);
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(1);

  sidebar_ = new Sidebar(context.model, splitter);
  sidebar_->setMinimumWidth(kSidebarMinimum);
  sidebar_->setMaximumWidth(kSidebarMaximum);

  detail_ = new QWidget(splitter);
  detail_->setObjectName(QStringLiteral("detail"));
  detailLayout_ = bareColumn(detail_, 0);

  splitter->addWidget(sidebar_);
  splitter->addWidget(detail_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({kSidebarIdeal, 10'000});

  auto* layout = bareRow(this);
  layout->addWidget(splitter);

  if (testMode) {
    marker_ = new QWidget(detail_);
    marker_->setGeometry(0, 0, 1, 1);
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
  }

  sidebar_->select(section_);
  showSection(section_);
  connect(sidebar_, &Sidebar::sectionSelected, this, &RootView::showSection);
}

void RootView::select(AppSection section) {
  sidebar_->select(section);
}

void RootView::showSection(AppSection section) {
  if (page_ && section == section_) return;
  section_ = section;
  if (page_) {
    detailLayout_->removeWidget(page_);
    page_->hide();
    page_->deleteLater();
  }
  page_ = SectionPages::create(section, context_, detail_);
  detailLayout_->addWidget(page_);
  if (marker_) {
    const QString name = QStringLiteral("page.") + AppSections::rawValue(section);
    marker_->setObjectName(name);
    marker_->setAccessibleName(name);
    marker_->raise();
  }
}

}  // namespace kivo
