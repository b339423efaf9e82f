#include "features/processes/ProcessTableLook.h"

#include "design/Icons.h"
#include "design/Tokens.h"
#include "features/processes/ProcessRows.h"
#include "features/processes/ProcessTableModel.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyledItemDelegate>

#include <map>
#include <tuple>

namespace kivo {

namespace {

class ColumnGapStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  static constexpr int kGap = 8;

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element == CE_HeaderLabel && header && (header->textAlignment & Qt::AlignRight)) {
      QStyleOptionHeader inset = *header;
      inset.rect.adjust(0, 0, -kGap, 0);
      QProxyStyle::drawControl(element, &inset, painter, widget);
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

  QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override {
    QRect rect = QProxyStyle::subElementRect(element, option, widget);
    if (element == SE_ItemViewItemText) {
      const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
      if (item && (item->displayAlignment & Qt::AlignRight)) rect.adjust(0, 0, -kGap, 0);
    }
    return rect;
  }
};

class NameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != static_cast<int>(ProcessColumn::name)) return;
    const bool app = index.data(ProcessTableModel::kIsAppRole).toBool();
    const QColor tint = Palette::textTertiary.resolve(option->palette);
    const qreal ratio = option->widget ? option->widget->devicePixelRatioF() : 1.0;
    const auto key = std::make_tuple(app, tint.rgb(), ratio);
    auto it = icons_.find(key);
    if (it == icons_.end()) {
      const QString symbol = app ? QStringLiteral("app.fill") : QStringLiteral("gearshape");
      it = icons_.emplace(key, QIcon(Icons::pixmap(symbol, 10, tint, ratio))).first;
    }
    option->icon = it->second;
    option->decorationSize = QSize(10, 10);
    option->features |= QStyleOptionViewItem::HasDecoration;
  }

 private:
  mutable std::map<std::tuple<bool, QRgb, qreal>, QIcon> icons_;
};

}  // namespace

QAbstractItemDelegate* ProcessTableLook::nameDelegate(QObject* parent) {
  return new NameDelegate(parent);
}

QStyle* ProcessTableLook::columnGapStyle(QObject* parent) {
  auto* style = new ColumnGapStyle(QStyleFactory::create(QApplication::style()->name()));
  style->setParent(parent);
  return style;
}

}  // namespace kivo
