#include "pdf/PdfReportRenderer.h"

#include "design/QualityBadge.h"
#include "metrics/OutsideText.h"
#include "pdf/PdfChart.h"
#include "pdf/PdfWriterCanvas.h"
#include "texts/AlertText.h"
#include "texts/FindingText.h"
#include "texts/Localized.h"
#include "texts/SeverityTitle.h"

#include <QBuffer>
#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <numeric>

#ifndef KIVO_VERSION
#define KIVO_VERSION "0"
#endif

namespace kivo {

namespace {

// The report's own colours; they do not follow the application's appearance.
const QColor kInk(14, 18, 34);
const QColor kMuted(89, 96, 120);
const QColor kLine(221, 224, 234);
const QColor kAccent(8, 145, 178);
const QColor kPlotBackground(244, 245, 250);

constexpr double kIndent = 58;
constexpr double kIndentWidth = 506;
constexpr double kParagraphSpace = 3;
constexpr double kHeadingRoom = 60;
constexpr double kChartRoom = 130;
constexpr double kPlotLeft = 102;
constexpr double kLabelWidth = 50;
constexpr double kChartAdvance = 108;
constexpr double kEmptyRowHeight = 10;
constexpr double kColumnGutter = 6;

constexpr PdfFont kTitleFont{22, PdfWeight::bold};
constexpr PdfFont kHeadingFont{13, PdfWeight::bold};
constexpr PdfFont kSmallFont{9, PdfWeight::regular};
constexpr PdfFont kSmallStrongFont{9, PdfWeight::semibold};
constexpr PdfFont kFindingFont{10, PdfWeight::semibold};
constexpr PdfFont kHeaderCellFont{8, PdfWeight::semibold};
constexpr PdfFont kBodyCellFont{8.5, PdfWeight::regular};
constexpr PdfFont kFooterFont{8, PdfWeight::regular};
constexpr PdfFont kBoundFont{7, PdfWeight::regular};

// Room on a fresh page between the top and the bottom limit.
constexpr double kPageRoom = PdfReportRenderer::kTop - PdfReportRenderer::kBottomLimit;

double height(const std::vector<PdfTextLine>& lines) {
  double h = 0;
  for (const PdfTextLine& line : lines) h += line.height;
  return std::ceil(h);
}

double seconds(const QDateTime& date) {
  return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

QString rawName(std::string_view raw) {
  return translated(QString::fromLatin1(raw.data(), std::ssize(raw)));
}

}  // namespace

PdfReportRenderer::PdfReportRenderer(Report report, ValueFormatter formatter)
    : report(std::move(report)), f(std::move(formatter)) {}

QString PdfReportRenderer::creator() {
  QString version = QCoreApplication::applicationVersion();
  if (version.isEmpty()) version = QStringLiteral(KIVO_VERSION);
  return QStringLiteral("KIVO Monitor ") + version;
}

std::optional<QByteArray> PdfReportRenderer::render() {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly) || !renderTo(buffer)) return std::nullopt;
  QByteArray bytes = buffer.data();
  if (bytes.isEmpty()) return std::nullopt;
  return bytes;
}

bool PdfReportRenderer::renderTo(QIODevice& device) {
  // The PDF writer would draw into a closed or read-only device without complaint.
  if (!device.isOpen() || !device.isWritable()) return false;
  PdfWriterCanvas pdf(&device, report.title, creator());
  if (!pdf.isOpen()) return false;
  draw(pdf);
  return pdf.finish();
}

void PdfReportRenderer::draw(PdfCanvas& target) {
  canvas = &target;
  y = 0;
  pageNumber = 0;
  newPage();

  textBlock(OutsideText::visible(report.title), kTitleFont, kInk);
  textBlock(QStringLiteral("KIVO Monitor ") + report.appVersion + QStringLiteral(" · ") + tr("Generated") +
                u' ' + f.date(report.generated),
            kSmallFont, kMuted);
  const auto [from, to] = f.period(report.from, report.to);
  textBlock(tr("Period") + QStringLiteral(": ") + from + QStringLiteral(" → ") + to + QStringLiteral(" · ") +
                tr("Sampling interval") + QStringLiteral(": ") + f.number(report.samplingInterval, 1) +
                QStringLiteral(" s"),
            kSmallFont, kMuted);
  y -= 10;

  const QStringList systemHeaders{tr("Item"), tr("Value")};
  heading(tr("System"), tableStart(systemHeaders, report.system, {1, 2.4}, 2));
  table(systemHeaders, report.system, {1, 2.4});

  QList<QStringList> metrics;
  metrics.reserve(static_cast<qsizetype>(report.series.size()));
  for (const ReportSeriesSummary& s : report.series) {
    // The quality's title as the badges show it, not its raw name.
    metrics.append({s.name, formatted(s.minimum, s.metric), formatted(s.average, s.metric),
                    formatted(s.maximum, s.metric), QString::number(s.sampleCount),
                    QualityBadge::text(s.quality)});
  }
  const QStringList metricHeaders{tr("Metric"),  tr("Minimum"), tr("Average"),
                                  tr("Maximum"), tr("Samples"), tr("Quality")};
  const std::vector<double> metricWeights{2.2, 1.2, 1.2, 1.2, 0.9, 1};
  heading(tr("Metrics"), tableStart(metricHeaders, metrics, metricWeights, 2));
  table(metricHeaders, metrics, metricWeights);

  for (const ReportSeriesSummary& s : report.series)
    if (s.points.size() >= 2) chart(s);

  for (const ReportTable& t : report.tables) {
    std::vector<double> weights(static_cast<std::size_t>(t.headers.size()), 1.0);
    if (!weights.empty()) weights.front() = 2;
    heading(OutsideText::visible(t.title), tableStart(t.headers, t.rows, weights, 2));
    table(t.headers, t.rows, weights);
  }

  if (!report.findings.empty()) {
    const auto findingTitle = [this](const Finding& finding) {
      return QStringLiteral("• ") + FindingText::title(finding) + QStringLiteral(" — ") +
             Severities::title(finding.severity);
    };
    const Finding& first = report.findings.front();
    heading(tr("Findings"), blockSpace(findingTitle(first), kFindingFont) +
                                blockSpace(FindingText::explanation(first, f), kSmallFont, kIndentWidth));
    for (const Finding& finding : report.findings) {
      const QString explanation = FindingText::explanation(finding, f);
      titleBlock(findingTitle(finding), kFindingFont, explanation, kSmallFont);
      textBlock(explanation, kSmallFont, kMuted, kIndent, kIndentWidth);
    }
  }

  const auto methodTitle = [](const ReportSeriesSummary& s) {
    return s.name + QStringLiteral(" — ") + s.source;
  };
  heading(tr("Collection methods"),
          report.series.empty()
              ? 0
              : blockSpace(methodTitle(report.series.front()), kSmallStrongFont) +
                    blockSpace(translated(report.series.front().method), kBodyCellFont, kIndentWidth));
  for (const ReportSeriesSummary& s : report.series) {
    const QString method = translated(s.method);
    titleBlock(methodTitle(s), kSmallStrongFont, method, kBodyCellFont);
    textBlock(method, kBodyCellFont, kMuted, kIndent, kIndentWidth);
  }

  QList<QStringList> gaps;
  for (const ReportSeriesSummary& s : report.series) {
    if (s.gaps.empty()) continue;
    double total = 0;
    double longest = 0;
    for (const SeriesGap& gap : s.gaps) {
      total += gap.end - gap.start;
      longest = std::max(longest, gap.end - gap.start);
    }
    gaps.append({s.name, QString::number(s.gaps.size()), f.duration(total), f.duration(longest)});
  }
  const QStringList gapHeaders{tr("Metric"), tr("Gaps"), tr("Total missing"), tr("Longest")};
  const std::vector<double> gapWeights{2, 1, 1.4, 1.4};
  if (gaps.isEmpty()) {
    heading(tr("Data gaps"), blockSpace(tr("No gap in the selected period."), kSmallFont));
    textBlock(tr("No gap in the selected period."), kSmallFont, kMuted);
  } else {
    heading(tr("Data gaps"), tableStart(gapHeaders, gaps, gapWeights, 2));
    table(gapHeaders, gaps, gapWeights);
  }

  double limitationsKeep = 0;
  for (qsizetype i = 0; i < std::min<qsizetype>(2, report.limitations.size()); ++i)
    limitationsKeep += blockSpace(QStringLiteral("• ") + report.limitations[i], kSmallFont);
  heading(tr("Limitations"), limitationsKeep);
  for (const QString& limitation : report.limitations)
    textBlock(QStringLiteral("• ") + limitation, kSmallFont, kMuted);

  footer();
  canvas = nullptr;
}

void PdfReportRenderer::newPage() {
  if (pageNumber > 0) footer();
  canvas->beginPage();
  ++pageNumber;
  y = kTop;
}

void PdfReportRenderer::drawLines(const std::vector<PdfTextLine>& lines, std::size_t first, std::size_t last,
                                  const PdfFont& font, const QColor& colour, double x, double top) {
  for (std::size_t i = first; i < last; ++i) {
    canvas->drawText(lines[i], font, colour, QPointF(x, top));
    top -= lines[i].height;
  }
}

void PdfReportRenderer::textBlock(const QString& text, const PdfFont& font, const QColor& colour, double x,
                                  double width) {
  const std::vector<PdfTextLine> lines = canvas->wrap(text, font, width);
  const double h = height(lines);
  if (y - h >= kBottomLimit || h <= kPageRoom) {
    if (y - h < kBottomLimit) newPage();
    drawLines(lines, 0, lines.size(), font, colour, x, y);
    y -= h + kParagraphSpace;
    return;
  }
  // Taller than a whole page: fill the room left, then go on page after page, breaking between
  // lines, so no text runs past the bottom limit.
  std::size_t first = 0;
  for (;;) {
    std::size_t last = first;
    double used = 0;
    while (last < lines.size() && y - (used + lines[last].height) >= kBottomLimit)
      used += lines[last++].height;
    if (last == first) {
      if (y < kTop) {
        newPage();
        continue;
      }
      used = lines[last++].height;  // a single line taller than a page
    }
    drawLines(lines, first, last, font, colour, x, y);
    first = last;
    if (first == lines.size()) {
      y -= std::ceil(used) + kParagraphSpace;
      return;
    }
    newPage();
  }
}

void PdfReportRenderer::titleBlock(const QString& title, const PdfFont& font, const QString& text,
                                   const PdfFont& textFont) {
  // A title never ends a page alone. Its text moves on whole when it fits a page, so the title
  // goes with all of it; a text taller than a page breaks between lines, so with its first line.
  const std::vector<PdfTextLine> lines = canvas->wrap(text, textFont, kIndentWidth);
  const double whole = height(lines);
  const double keep = whole <= kPageRoom || lines.empty() ? whole : std::ceil(lines.front().height);
  const double together = blockSpace(title, font) + keep;
  if (together <= kPageRoom && y - together < kBottomLimit) newPage();
  textBlock(title, font, kInk);
}

void PdfReportRenderer::heading(const QString& text, double keep) {
  // The heading, its rule and what must stay with it; only when that fits a page at all.
  const double together = 12 + blockSpace(text, kHeadingFont) + 8 + keep;
  if (y - kHeadingRoom < kBottomLimit || (together <= kPageRoom && y - together < kBottomLimit)) newPage();
  y -= 12;
  textBlock(text, kHeadingFont, kInk);
  canvas->strokeLine(QPointF(kMargin, y), QPointF(kMargin + kColumnWidth, y), 1, kAccent);
  y -= 8;
}

std::vector<double> PdfReportRenderer::columnWidths(const std::vector<double>& weights) {
  const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
  std::vector<double> widths;
  widths.reserve(weights.size());
  for (const double weight : weights) widths.push_back(sum > 0 ? weight / sum * kColumnWidth : 0);
  return widths;
}

QStringList PdfReportRenderer::fitted(const QStringList& cells, qsizetype count) {
  // Cells hold outside text (host, volume and process names): in its visible form.
  QStringList out;
  out.reserve(count);
  for (qsizetype i = 0; i < std::min(count, cells.size()); ++i)
    out.append(OutsideText::visibleCell(cells[i]));
  while (out.size() < count) out.append(QString());
  return out;
}

double PdfReportRenderer::rowSpace(const QStringList& cells, const std::vector<double>& widths, bool header) {
  const PdfFont& font = header ? kHeaderCellFont : kBodyCellFont;
  const std::size_t count = std::min(static_cast<std::size_t>(cells.size()), widths.size());
  double rowHeight = count == 0 ? kEmptyRowHeight : 0;
  for (std::size_t c = 0; c < count; ++c)
    rowHeight = std::max(
        rowHeight, height(canvas->wrap(cells[static_cast<qsizetype>(c)], font, widths[c] - kColumnGutter)));
  return rowHeight + 6;
}

double PdfReportRenderer::tableStart(const QStringList& headers, const QList<QStringList>& rows,
                                     const std::vector<double>& weights, int bodyRows) {
  const std::vector<double> widths = columnWidths(weights);
  double space = rowSpace(headers, widths, true);
  for (qsizetype i = 0; i < std::min<qsizetype>(bodyRows, rows.size()); ++i)
    space += rowSpace(fitted(rows[i], headers.size()), widths, false);
  return space;
}

double PdfReportRenderer::blockSpace(const QString& text, const PdfFont& font, double width) {
  return height(canvas->wrap(text, font, width)) + kParagraphSpace;
}

void PdfReportRenderer::table(const QStringList& headers, const QList<QStringList>& rows,
                              const std::vector<double>& weights) {
  const std::vector<double> widths = columnWidths(weights);
  // The header row never ends a page alone: it starts where its first row fits beside it.
  const double start = tableStart(headers, rows, weights, 1);
  if (start <= kPageRoom && y - start < kBottomLimit) newPage();
  row(headers, widths, true);
  tableHeaders = &headers;
  for (const QStringList& r : rows) row(fitted(r, headers.size()), widths, false);
  tableHeaders = nullptr;
  y -= 4;
}

void PdfReportRenderer::continueTable(const std::vector<double>& widths, bool header) {
  newPage();
  if (header || !tableHeaders) return;
  const QStringList* headers = tableHeaders;
  tableHeaders = nullptr;  // the repeated header itself never repeats
  row(*headers, widths, true);
  tableHeaders = headers;
}

void PdfReportRenderer::row(const QStringList& cells, const std::vector<double>& widths, bool header) {
  const PdfFont& font = header ? kHeaderCellFont : kBodyCellFont;
  const QColor& colour = header ? kMuted : kInk;
  const std::size_t count = std::min(static_cast<std::size_t>(cells.size()), widths.size());

  std::vector<std::vector<PdfTextLine>> lines(count);
  double rowHeight = count == 0 ? kEmptyRowHeight : 0;
  for (std::size_t c = 0; c < count; ++c) {
    lines[c] = canvas->wrap(cells[static_cast<qsizetype>(c)], font, widths[c] - kColumnGutter);
    rowHeight = std::max(rowHeight, height(lines[c]));
  }

  const auto finish = [&](double drawn) {
    y -= drawn + 3;
    canvas->strokeLine(QPointF(kMargin, y), QPointF(kMargin + kColumnWidth, y), 0.5, kLine);
    y -= 3;
  };

  if (y - (rowHeight + 6) >= kBottomLimit || rowHeight + 6 <= kPageRoom) {
    if (y - (rowHeight + 6) < kBottomLimit) continueTable(widths, header);
    double x = kMargin;
    for (std::size_t c = 0; c < count; ++c) {
      drawLines(lines[c], 0, lines[c].size(), font, colour, x, y);
      x += widths[c];
    }
    finish(rowHeight);
    return;
  }

  // A row taller than a whole page goes on across pages, every cell broken between its lines.
  std::vector<std::size_t> next(count, 0);
  std::vector<std::size_t> end(count, 0);
  bool fresh = false;  // on a page just begun, below a repeated header at most
  for (;;) {
    double piece = 0;
    bool progress = false;
    for (std::size_t c = 0; c < count; ++c) {
      std::size_t last = next[c];
      double used = 0;
      while (last < lines[c].size() && y - (used + lines[c][last].height + 6) >= kBottomLimit)
        used += lines[c][last++].height;
      end[c] = last;
      progress = progress || last > next[c];
      piece = std::max(piece, used);
    }
    if (!progress) {
      if (y < kTop && !fresh) {
        continueTable(widths, header);
        fresh = true;
        continue;
      }
      // Lines taller than a page: one of each cell, so the row still advances.
      for (std::size_t c = 0; c < count; ++c) {
        if (next[c] < lines[c].size()) {
          end[c] = next[c] + 1;
          piece = std::max(piece, lines[c][next[c]].height);
        }
      }
    }
    double x = kMargin;
    bool done = true;
    for (std::size_t c = 0; c < count; ++c) {
      drawLines(lines[c], next[c], end[c], font, colour, x, y);
      x += widths[c];
      next[c] = end[c];
      done = done && next[c] == lines[c].size();
    }
    if (done) {
      finish(std::ceil(piece));
      return;
    }
    continueTable(widths, header);
    fresh = true;
  }
}

QString PdfReportRenderer::formatted(const std::optional<double>& value, MetricID metric) const {
  return value ? AlertText::formatted(*value, metric, f) : QStringLiteral("—");
}

void PdfReportRenderer::chart(const ReportSeriesSummary& s) {
  if (y - kChartRoom < kBottomLimit) newPage();
  textBlock(s.name + QStringLiteral(" · ") + rawName(StoreTiers::rawValue(s.tier)) + QStringLiteral(" · ") +
                f.duration(s.step),
            kSmallStrongFont, kInk);

  const QRectF plot(kPlotLeft, y - PdfChart::kPlotHeight, PdfChart::kPlotWidth, PdfChart::kPlotHeight);
  const PdfChart::Scale scale =
      PdfChart::scale(plot, seconds(report.from), seconds(report.to), s.minimum, s.maximum);
  QColor gap = kMuted;
  gap.setAlphaF(0.12f);
  QColor band = kAccent;
  band.setAlphaF(0.2f);
  PdfChart::draw(*canvas, scale, s.points, s.step, s.gaps,
                 PdfChart::Colours{kPlotBackground, gap, band, kAccent});

  // The bounds of the value axis, left of the plot; they never move the cursor.
  const auto upper = canvas->wrap(AlertText::formatted(scale.upper, s.metric, f), kBoundFont, kLabelWidth);
  drawLines(upper, 0, upper.size(), kBoundFont, kMuted, kMargin, plot.y() + plot.height());
  const auto lower = canvas->wrap(AlertText::formatted(scale.lower, s.metric, f), kBoundFont, kLabelWidth);
  drawLines(lower, 0, lower.size(), kBoundFont, kMuted, kMargin, plot.y() + 9);

  y -= kChartAdvance;
}

void PdfReportRenderer::footer() {
  const QString text = QStringLiteral("KIVO Monitor · ") + OutsideText::visible(report.title) +
                       QStringLiteral(" · ") + QString::number(pageNumber);
  const auto lines = canvas->wrap(text, kFooterFont, kColumnWidth);
  drawLines(lines, 0, lines.size(), kFooterFont, kMuted, kMargin, kFooterTop);
}

}  // namespace kivo
