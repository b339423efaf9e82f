#include "features/processes/ProcessInspector.h"

#include "collectors/ProcessSample.h"
#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/ChartColor.h"
#include "design/ElidedLabel.h"
#include "design/FlowLayout.h"
#include "design/KeyValueRow.h"
#include "design/MetricFamily.h"
#include "design/Readout.h"
#include "design/Sparkline.h"
#include "design/SymbolLabel.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/processes/ProcessHistory.h"
#include "features/processes/ProcessText.h"
#include "metrics/OutsideText.h"
#include "metrics/ValueFormatter.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr std::array<ProcessEntry, 4> kEntries = {ProcessEntry::showInFileManager, ProcessEntry::copyPID,
                                                  ProcessEntry::quit, ProcessEntry::forceQuit};

}  // namespace

// The executable path: selectable, wrapping anywhere (a path has few spaces), as tall as its text.
class PathText : public QTextEdit {
 public:
  explicit PathText(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setFont(Typeface::mono());
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
  }

  void setPath(const QString& path) {
    if (toPlainText() == path) return;
    setPlainText(path);
    setAccessibleName(path);
    updateGeometry();
  }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    QTextDocument* text = document();
    const qreal before = text->textWidth();
    text->setTextWidth(width);
    const int height = static_cast<int>(std::ceil(text->size().height()));
    text->setTextWidth(before);
    return height;
  }
  QSize sizeHint() const override { return {200, heightForWidth(width() > 0 ? width() : 200)}; }
  QSize minimumSizeHint() const override { return {40, heightForWidth(width() > 0 ? width() : 200)}; }
};

namespace {

QPushButton* actionButton(ProcessEntry entry, QWidget* parent) {
  auto* button = new QPushButton(ProcessEntries::title(entry), parent);
  button->setObjectName(ProcessEntries::objectName(entry));
  button->setFont(Typeface::system(11));
  button->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  return button;
}

}  // namespace

ProcessInspector::ProcessInspector(const ValueFormatter& format, QWidget* parent)
    : QWidget(parent), format_(format) {
  setObjectName(QStringLiteral("processes.inspector"));
  stack_ = new QStackedLayout(this);

  // "No process selected".
  empty_ = new QWidget(this);
  auto* emptyColumn = new QVBoxLayout(empty_);
  emptyColumn->setContentsMargins(16, 16, 16, 16);
  emptyColumn->setSpacing(6);
  emptyColumn->addStretch(1);
  auto* symbol = new SymbolLabel(QStringLiteral("list.bullet.rectangle"), 40, Palette::textTertiary, empty_);
  emptyColumn->addWidget(symbol, 0, Qt::AlignHCenter);
  auto* emptyTitle = new ToneLabel(kivo::tr("No process selected"), Typeface::system(15, QFont::Bold),
                                   Palette::textPrimary, empty_);
  emptyTitle->setObjectName(QStringLiteral("processes.inspector.empty"));
  emptyTitle->setAlignment(Qt::AlignHCenter);
  emptyTitle->setWordWrap(true);
  emptyColumn->addWidget(emptyTitle);
  auto* emptyText = new ToneLabel(kivo::tr("Select a row to inspect it."), Typeface::system(12),
                                  Palette::textSecondary, empty_);
  emptyText->setAlignment(Qt::AlignHCenter);
  emptyText->setWordWrap(true);
  emptyColumn->addWidget(emptyText);
  emptyColumn->addStretch(1);
  stack_->addWidget(empty_);

  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->viewport()->setAutoFillBackground(false);
  content_ = new QWidget(scroll);
  content_->setAutoFillBackground(false);
  auto* column = new QVBoxLayout(content_);
  column->setContentsMargins(16, 16, 16, 16);
  column->setSpacing(12);

  // Names and the lineage are outside text of any length: cut with "…" where the pane is too
  // narrow, whole in the tooltip and the accessible name.
  name_ = new ElidedLabel(Typeface::system(16, QFont::Bold), Palette::textPrimary, Qt::ElideRight, content_);
  name_->setObjectName(QStringLiteral("processes.inspector.name"));
  name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(name_);
  lineage_ = new ElidedLabel(Typeface::caption(), Palette::textSecondary, Qt::ElideRight, content_);
  lineage_->setObjectName(QStringLiteral("processes.inspector.lineage"));
  column->addWidget(lineage_);

  cpuCard_ = new Card(QStringLiteral("CPU"), MetricFamily::cpu, std::nullopt, content_);
  cpu_ = new Readout(std::nullopt, QStringLiteral("of one core"), 22, Palette::textPrimary, cpuCard_);
  cpu_->setObjectName(QStringLiteral("processes.inspector.cpu"));
  cpuCard_->addContent(cpu_);
  cpuLine_ = new Sparkline(cpuCard_);
  cpuLine_->setObjectName(QStringLiteral("processes.inspector.cpuHistory"));
  cpuLine_->setColor(ChartColor::of(Palette::accent));
  cpuLine_->setFilled(true);
  cpuLine_->setFixedHeight(44);
  cpuCard_->addContent(cpuLine_);
  column->addWidget(cpuCard_);

  memoryCard_ = new Card(QStringLiteral("Memory"), MetricFamily::memory, std::nullopt, content_);
  memory_ =
      new Readout(std::nullopt, QStringLiteral("physical footprint"), 22, Palette::textPrimary, memoryCard_);
  memory_->setObjectName(QStringLiteral("processes.inspector.memory"));
  memoryCard_->addContent(memory_);
  memoryLine_ = new Sparkline(memoryCard_);
  memoryLine_->setObjectName(QStringLiteral("processes.inspector.memoryHistory"));
  memoryLine_->setColor(ChartColor::of(Palette::accentSecondary));
  memoryLine_->setFilled(true);
  memoryLine_->setFixedHeight(44);
  memoryCard_->addContent(memoryLine_);
  column->addWidget(memoryCard_);

  detailsCard_ = new Card(QStringLiteral("Details"), std::nullopt, std::nullopt, content_);
  detailsCard_->setObjectName(QStringLiteral("processes.inspector.details"));
  const auto row = [this](const char* label) {
    auto* item = new KeyValueRow(kivo::tr(label), std::nullopt, std::nullopt, std::nullopt, detailsCard_);
    item->setWrapsValue(true);
    detailsCard_->addContent(item);
    return item;
  };
  threads_ = row("Threads");
  cpuTime_ = row("CPU time");
  read_ = row("Read from disk");
  written_ = row("Written to disk");
  power_ = row("Power (kernel accounting)");
  user_ = row("User");
  started_ = row("Started");
  column->addWidget(detailsCard_);

  restrictedCard_ = new Card(QStringLiteral("Restricted"), std::nullopt, std::nullopt, content_);
  restrictedCard_->setObjectName(QStringLiteral("processes.inspector.restricted"));
  auto* lockRow = new QWidget(restrictedCard_);
  auto* lockLayout = bareRow(lockRow, 6);
  lockLayout->addWidget(new SymbolLabel(QStringLiteral("lock"), 12, Palette::textPrimary, lockRow));
  lockLayout->addWidget(new ToneLabel(kivo::tr("Owned by another user"), Typeface::system(12, QFont::Medium),
                                      Palette::textPrimary, lockRow));
  lockLayout->addStretch(1);
  restrictedCard_->addContent(lockRow);
  auto* why = new ToneLabel(
      kivo::tr("Linux does not give an unprivileged app the figures of this process. KIVO Monitor "
               "shows nothing rather than a zero."),
      Typeface::caption(), Palette::textSecondary, restrictedCard_);
  why->setWordWrap(true);
  restrictedCard_->addContent(why);
  restrictedUser_ =
      new KeyValueRow(kivo::tr("User"), std::nullopt, std::nullopt, std::nullopt, restrictedCard_);
  restrictedUser_->setWrapsValue(true);
  restrictedCard_->addContent(restrictedUser_);
  column->addWidget(restrictedCard_);

  auto* executableCard = new Card(QStringLiteral("Executable"), std::nullopt, std::nullopt, content_);
  path_ = new PathText(executableCard);
  path_->setObjectName(QStringLiteral("processes.inspector.executable"));
  executableCard->addContent(path_);
  column->addWidget(executableCard);

  // The actions in two groups, each wrapping onto more lines in a narrow pane.
  auto* actions = new QWidget(content_);
  auto* actionRows = bareColumn(actions, 6);
  auto* first = new FlowLayout(6, 6);
  auto* second = new FlowLayout(6, 6);
  for (ProcessEntry entry : kEntries) {
    QPushButton* button = actionButton(entry, actions);
    const bool ending = entry == ProcessEntry::quit || entry == ProcessEntry::forceQuit;
    (ending ? second : first)->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, entry] { emit entryTriggered(entry); });
    buttons_.push_back(button);
  }
  actionRows->addLayout(first);
  actionRows->addLayout(second);
  column->addWidget(actions);
  column->addStretch(1);

  scroll->setWidget(content_);
  stack_->addWidget(scroll);
  show(View{}, ProcessHistory{});
}

void ProcessInspector::show(const View& view, const ProcessHistory& history) {
  const ProcessRecord* record = view.record;
  if (!record) {
    stack_->setCurrentWidget(empty_);
    return;
  }
  stack_->setCurrentIndex(1);
  name_->setFullText(OutsideText::visible(record->name));
  lineage_->setFullText(view.lineage);

  const bool statistics = record->hasStatistics;
  cpuCard_->setVisible(statistics);
  memoryCard_->setVisible(statistics);
  detailsCard_->setVisible(statistics);
  restrictedCard_->setVisible(!statistics);
  const QString user = ProcessText::user(*record, view.mask);
  if (statistics) {
    cpu_->setValue(record->cpuPercent ? std::optional(format_.percent(*record->cpuPercent, 1))
                                      : std::nullopt);
    cpuLine_->setValues(history.cpuValues());
    memory_->setValue(record->memory ? std::optional(format_.bytes(*record->memory, true)) : std::nullopt);
    memoryLine_->setValues(history.memoryValues());
    threads_->setValue(QString::number(record->threads));
    cpuTime_->setValue(format_.duration(record->cpuTime));
    read_->setValue(record->diskRead ? std::optional(format_.bytes(*record->diskRead, false)) : std::nullopt);
    written_->setValue(record->diskWritten ? std::optional(format_.bytes(*record->diskWritten, false))
                                           : std::nullopt);
    power_->setVisible(record->power.has_value());
    if (record->power) power_->setValue(kivo::tr("%1 W", format_.number(*record->power, 2)));
    user_->setValue(user);
    started_->setVisible(record->startTime.has_value());
    if (record->startTime) started_->setValue(format_.date(*record->startTime));
  } else {
    restrictedUser_->setValue(user);
  }
  const QString path = ProcessText::executable(record->path, view.mask, view.home);
  path_->setPath(path);

  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    const bool shown = std::find(view.entries.begin(), view.entries.end(), kEntries[i]) != view.entries.end();
    buttons_[i]->setVisible(shown);
  }
}

}  // namespace kivo
