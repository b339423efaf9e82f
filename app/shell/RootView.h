#pragma once

#include "shell/AppSection.h"
#include "shell/SectionPages.h"

#include <QPointer>
#include <QWidget>

class QSplitter;
class QVBoxLayout;

namespace kivo {

class Sidebar;

// The main window's content: the sidebar and the detail column with the selected section's
// page. In test mode the detail column carries a 1 × 1 marker named "page.<section>".
class RootView : public QWidget {
  Q_OBJECT
 public:
  RootView(const PageContext& context, AppSection initial, bool testMode, QWidget* parent = nullptr);

  AppSection section() const { return section_; }
  void select(AppSection section);
  Sidebar* sidebar() const { return sidebar_; }
  QWidget* page() const { return page_; }

 private:
  void showSection(AppSection section);

  PageContext context_;
  AppSection section_;
  Sidebar* sidebar_ = nullptr;
  QWidget* detail_ = nullptr;
  QVBoxLayout* detailLayout_ = nullptr;
  QPointer<QWidget> page_;
  QWidget* marker_ = nullptr;
};

}  // namespace kivo
