// Page layout of the PDF report, checked on a recording canvas with fixed text metrics.

#include "pdf/PdfReportRenderer.h"

#include "RecordingCanvas.h"
#include "ReportFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace kivo {
namespace {

using test::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

constexpr double kBottom = PdfReportRenderer::kBottomLimit;
constexpr double kTop = PdfReportRenderer::kTop;

QString footer(const Report& report, int page) {
  return QStringLiteral("KIVO Monitor · ") + report.title + QStringLiteral(" · ") + QString::number(page);
}

RecordingCanvas drawn(const Report& report) {
  RecordingCanvas canvas;
  PdfReportRenderer(report, test::englishFormatter()).draw(canvas);
  return canvas;
}

bool isFooter(const RecordingCanvas::Op& op) {
  return op.box.y() + op.box.height() == PdfReportRenderer::kFooterTop;
}

// Every page carries exactly one footer with its own number, and nothing else leaves the band
// between the top and the bottom limit (chart labels and gap bands are inside the plot's band).
void expectPagesKeepTheirBounds(const RecordingCanvas& canvas, const Report& report) {
  ASSERT_GE(canvas.pages, 1);
  std::vector<int> footers(static_cast<std::size_t>(canvas.pages) + 1, 0);
  for (const auto& op : canvas.ops) {
    ASSERT_GE(op.page, 1);
    if (op.kind == Kind::text && isFooter(op)) {
      EXPECT_EQ(op.text, footer(report, op.page));
      ++footers[static_cast<std::size_t>(op.page)];
      continue;
    }
    if (op.kind == Kind::unclip) continue;
    if (op.clipped) continue;  // cut to its plot, checked through the clip itself
    EXPECT_GE(op.box.y(), kBottom - 1e-9) << op.text.toStdString() << " on page " << op.page;
    EXPECT_LE(op.box.y() + op.box.height(), kTop + 1e-9) << op.text.toStdString() << " on page " << op.page;
  }
  for (int page = 1; page <= canvas.pages; ++page)
    EXPECT_EQ(footers[static_cast<std::size_t>(page)], 1) << page;
}

Report fortySeries() {
  Report report = test::buildReport(test::systemInputs());
  const auto base = report.series;
  report.series.clear();
  for (int i = 0; i < 40; ++i) {
    ReportSeriesSummary s = base[static_cast<std::size_t>(i) % base.size()];
    s.name += QStringLiteral(" #") + QString::number(i + 1);
    report.series.push_back(std::move(s));
  }
  return report;
}

TEST(PdfLayout, FortySeriesFillManyPagesWithinTheirBounds) {
  const Report report = fortySeries();
  const RecordingCanvas canvas = drawn(report);
  EXPECT_GE(canvas.pages, 12);
  expectPagesKeepTheirBounds(canvas, report);

  // Sections in order, each once.
  int at = -1;
  for (const char* heading :
       {"System", "Metrics", "Volumes", "Findings", "Collection methods", "Data gaps", "Limitations"}) {
    const int found = canvas.find(QString::fromUtf8(heading), static_cast<std::size_t>(at + 1));
    EXPECT_GT(found, at) << heading;
    at = found;
  }

  // One chart per series with at least two points, its caption on the plot's page.
  int charts = 0;
  for (std::size_t i = 0; i < canvas.ops.size(); ++i) {
    const auto& op = canvas.ops[i];
    if (op.kind != Kind::rect || op.colour != QColor(244, 245, 250)) continue;
    ++charts;
    EXPECT_DOUBLE_EQ(op.box.x(), 102);
    EXPECT_DOUBLE_EQ(op.box.width(), 462);
    EXPECT_DOUBLE_EQ(op.box.height(), 96);
    std::size_t caption = i;
    while (caption > 0 && !(canvas.ops[caption].kind == Kind::text && canvas.ops[caption].font.size == 9))
      --caption;
    EXPECT_EQ(canvas.ops[caption].page, op.page);
    EXPECT_TRUE(canvas.ops[caption].text.contains(QStringLiteral(" · minute · ")));
  }
  // The fixture has one series without points in every twelve (the 11th).
  EXPECT_EQ(charts, 40 - 3);
}

TEST(PdfLayout, MetricRowsShowADashForAbsentFiguresAndTablesKeepTheirHeaderCount) {
  Report report = test::buildReport(test::systemInputs());
  report.tables.push_back(ReportTable{
      QStringLiteral("Odd table"),
      {QStringLiteral("A"), QStringLiteral("B")},
      {{QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("dropped")}, {QStringLiteral("short")}}});
  report.series.front().points.resize(1);
  const RecordingCanvas canvas = drawn(report);

  // The GPU series of the fixture has no value.
  const int gpu = canvas.find(QStringLiteral("GPU utilization"));
  ASSERT_GE(gpu, 0);
  int dashes = 0;
  for (std::size_t i = static_cast<std::size_t>(gpu) + 1; i < static_cast<std::size_t>(gpu) + 4; ++i)
    dashes += canvas.ops[i].text == QStringLiteral("—");
  EXPECT_EQ(dashes, 3);

  EXPECT_EQ(canvas.find(QStringLiteral("dropped")), -1);
  // A series of one point is in the table but gets no chart.
  EXPECT_EQ(canvas.find(QStringLiteral("CPU usage · minute · 1 min")), -1);
  EXPECT_GE(canvas.find(QStringLiteral("CPU usage — /proc/stat")), 0);
  const int a1 = canvas.find(QStringLiteral("a1"));
  const int shortCell = canvas.find(QStringLiteral("short"));
  ASSERT_GE(a1, 0);
  ASSERT_GE(shortCell, 0);
  // Widths 2:1 of 516: the second column starts at 48 + 344.
  EXPECT_DOUBLE_EQ(canvas.ops[static_cast<std::size_t>(a1) + 1].box.x(), 48 + 344);
  EXPECT_EQ(canvas.ops[static_cast<std::size_t>(a1) + 1].text, QStringLiteral("b1"));
  // The padded empty cell draws nothing, and the row still ends with its rule.
  EXPECT_EQ(canvas.ops[static_cast<std::size_t>(shortCell) + 1].kind, Kind::line);
}

TEST(PdfLayout, FindingsOnlyWhenThereAreSomeAndNoGapSentenceWithoutGaps) {
  Report report = test::buildReport(test::systemInputs());
  ASSERT_FALSE(report.findings.empty());
  EXPECT_GE(drawn(report).find(QStringLiteral("Findings")), 0);

  report.findings.clear();
  report.series.clear();
  const RecordingCanvas canvas = drawn(report);
  EXPECT_EQ(canvas.find(QStringLiteral("Findings")), -1);
  EXPECT_GE(canvas.find(QStringLiteral("No gap in the selected period.")), 0);
  EXPECT_TRUE(canvas.of(Kind::fillPath).empty());
  for (const char* heading : {"System", "Metrics", "Collection methods", "Data gaps", "Limitations"})
    EXPECT_GE(canvas.find(QString::fromUtf8(heading)), 0) << heading;
}

// A long paragraph and a long table row are split between lines over as many pages as they
// need; no word is lost and nothing runs past the bottom limit.
TEST(PdfLayout, TextTallerThanAPageBreaksBetweenLines) {
  Report report = test::buildReport(test::systemInputs());
  QStringList words;
  for (int i = 0; i < 1500; ++i) words << QStringLiteral("w%1").arg(i);
  const QString longText = words.join(u' ');
  // A process name as long as a book reaches the finding's title.
  report.findings.front().kind = FindingKind::processSpikes;
  report.findings.front().subject = longText;
  report.tables.push_back(ReportTable{QStringLiteral("Long row"),
                                      {QStringLiteral("Key"), QStringLiteral("Text")},
                                      {{QStringLiteral("key"), longText}}});

  const RecordingCanvas canvas = drawn(report);
  expectPagesKeepTheirBounds(canvas, report);

  const auto wordsDrawnIn = [&](const PdfFont& font, double x) {
    QStringList drawn;
    int firstPage = 0;
    int lastPage = 0;
    for (const auto& op : canvas.ops) {
      if (op.kind != Kind::text || op.font != font || op.box.x() != x) continue;
      for (const QString& w : op.text.split(u' ', Qt::SkipEmptyParts))
        if (w.startsWith(u'w') || w.startsWith(QStringLiteral("“w"))) drawn << w;
      if (!firstPage) firstPage = op.page;
      lastPage = op.page;
    }
    return std::tuple{drawn, firstPage, lastPage};
  };

  // The finding title: 10 pt semibold at the margin.
  const auto [titleWords, titleFirst, titleLast] = wordsDrawnIn(PdfFont{10, PdfWeight::semibold}, 48);
  ASSERT_EQ(titleWords.size(), 1500);
  EXPECT_EQ(titleWords.front(), QStringLiteral("“w0"));
  EXPECT_EQ(titleWords.back(), QStringLiteral("w1499”"));
  EXPECT_GE(titleLast - titleFirst, 1);

  // The table cell: 8.5 pt in the second column.
  const auto [cellWords, cellFirst, cellLast] = wordsDrawnIn(PdfFont{8.5, PdfWeight::regular}, 48 + 344);
  ASSERT_EQ(cellWords.size(), 1500);
  EXPECT_EQ(cellWords.join(u' '), longText);
  EXPECT_GE(cellLast - cellFirst, 1);
}

// With the recording canvas's metrics: 12 above the heading, its 13 pt line (17) and 3, the 8
// below its rule, then the metric table's header row (10 + 6) and two one-line rows (11 + 6 each).
constexpr double kMetricsHeadingWithTwoRows = 12 + 17 + 3 + 8 + 16 + 17 + 17;

// Grows the system table row by row and yields, for each length, the canvas and the room left
// below the table's last rule (then 3 points, then the table's 4) on its page.
template <typename Check>
void growSystemTable(int fromRows, int toRows, Check check) {
  for (int rows = fromRows; rows <= toRows; ++rows) {
    Report report = test::buildReport(test::systemInputs());
    report.system.clear();
    for (int i = 0; i < rows; ++i) report.system.append({QStringLiteral("k"), QStringLiteral("v")});
    const RecordingCanvas canvas = drawn(report);
    const int metrics = canvas.find(QStringLiteral("Metrics"));
    ASSERT_GT(metrics, 0);
    double left = 0;
    int page = 0;
    for (int i = metrics; i-- > 0;) {
      if (canvas.ops[static_cast<std::size_t>(i)].kind == Kind::line) {
        left = canvas.ops[static_cast<std::size_t>(i)].box.y() - 3 - 4;
        page = canvas.ops[static_cast<std::size_t>(i)].page;
        break;
      }
    }
    ASSERT_GT(left, 0);
    SCOPED_TRACE(rows);
    check(canvas, metrics, left, page);
  }
}

TEST(PdfLayout, AHeadingMovesToTheNextPageUnlessItsTableStartFitsBelowIt) {
  // The "Metrics" heading moves on when less than 60 points are left, or too few for itself
  // with the table's header row and first two rows, even where its own text would fit.
  bool sawKeptTogether = false;
  growSystemTable(20, 40, [&](const RecordingCanvas& canvas, int metrics, double left, int page) {
    const auto& heading = canvas.ops[static_cast<std::size_t>(metrics)];
    if (left - std::max(60.0, kMetricsHeadingWithTwoRows) < kBottom) {
      EXPECT_EQ(heading.page, page + 1);
      EXPECT_DOUBLE_EQ(heading.box.y() + heading.box.height(), kTop - 12);
      sawKeptTogether = sawKeptTogether || left - 60 >= kBottom;
    } else {
      EXPECT_EQ(heading.page, page);
      EXPECT_DOUBLE_EQ(heading.box.y() + heading.box.height(), left - 12);
    }
  });
  EXPECT_TRUE(sawKeptTogether);
}

TEST(PdfLayout, AHeadingAtThePageFootKeepsItsTableHeaderAndTwoRows) {
  // Whatever room the system table leaves, the "Metrics" heading, the table's header row and its
  // first two rows share one page.
  growSystemTable(20, 40, [&](const RecordingCanvas& canvas, int metrics, double, int) {
    const int header = canvas.find(QStringLiteral("Metric"), static_cast<std::size_t>(metrics));
    const int first = canvas.find(QStringLiteral("CPU usage"), static_cast<std::size_t>(metrics));
    ASSERT_GT(header, metrics);
    ASSERT_GT(first, header);
    // The second body row starts after the first row's rule.
    int second = -1;
    for (std::size_t i = static_cast<std::size_t>(first); i < canvas.ops.size(); ++i) {
      if (canvas.ops[i].kind != Kind::line) continue;
      second = static_cast<int>(i) + 1;
      break;
    }
    ASSERT_GT(second, first);
    const int page = canvas.ops[static_cast<std::size_t>(metrics)].page;
    EXPECT_EQ(canvas.ops[static_cast<std::size_t>(header)].page, page);
    EXPECT_EQ(canvas.ops[static_cast<std::size_t>(first)].page, page);
    EXPECT_EQ(canvas.ops[static_cast<std::size_t>(second)].page, page);
  });
}

TEST(PdfLayout, ATableBrokenOverPagesRepeatsItsHeaderRowOnEachPage) {
  Report report = test::buildReport(test::systemInputs());
  report.system.clear();
  for (int i = 0; i < 120; ++i) report.system.append({QStringLiteral("k%1").arg(i), QStringLiteral("v")});
  const RecordingCanvas canvas = drawn(report);
  expectPagesKeepTheirBounds(canvas, report);
  // Per page: where the system table's first body row is, and where its header row is (up to
  // the "Metrics" heading: later tables have headers of their own).
  std::map<int, std::size_t> firstRow;
  std::map<int, std::size_t> headerRow;
  const auto metrics = static_cast<std::size_t>(canvas.find(QStringLiteral("Metrics")));
  for (std::size_t i = 0; i < metrics; ++i) {
    const auto& op = canvas.ops[i];
    if (op.kind != Kind::text) continue;
    if (op.text.startsWith(u'k') && op.text.size() > 1 && op.text.at(1).isDigit())
      firstRow.emplace(op.page, i);
    if (op.text == QStringLiteral("Item")) headerRow.emplace(op.page, i);
  }
  ASSERT_GE(firstRow.size(), 3u);
  for (const auto& [page, index] : firstRow) {
    ASSERT_TRUE(headerRow.count(page)) << "no header on page " << page;
    EXPECT_LT(headerRow[page], index) << page;
    EXPECT_EQ(canvas.ops[headerRow[page]].font.size, 8) << "drawn as a header row";
  }
  // No page carries the header without a row under it.
  EXPECT_EQ(headerRow.size(), firstRow.size());
}

TEST(PdfLayout, QualityIsPrintedByItsTitle) {
  Report report = test::buildReport(test::systemInputs());
  const RecordingCanvas canvas = drawn(report);
  EXPECT_EQ(canvas.find(QStringLiteral("bestEffort")), -1);
  EXPECT_EQ(canvas.find(QStringLiteral("measured")), -1);
  EXPECT_GE(canvas.find(QStringLiteral("Best effort")), 0);
}

// A method's title never ends a page alone: whatever room the tables above leave, it shares its
// page with the first line of its text. Findings' titles keep their first line the same way.
TEST(PdfLayout, ATitleAtThePageFootGoesOverWithItsFirstLine) {
  int titlesOnTop = 0;
  for (int rows = 0; rows <= 40; ++rows) {
    SCOPED_TRACE(rows);
    Report report = test::buildReport(test::systemInputs());
    // A table after the charts moves what follows it row by row.
    ReportTable extra{QStringLiteral("Extra"), {QStringLiteral("Key"), QStringLiteral("Value")}, {}};
    for (int i = 0; i < rows; ++i) extra.rows.append({QStringLiteral("k"), QStringLiteral("v")});
    report.tables.push_back(extra);
    const RecordingCanvas canvas = drawn(report);
    expectPagesKeepTheirBounds(canvas, report);
    const auto methods = static_cast<std::size_t>(canvas.find(QStringLiteral("Collection methods")));
    for (std::size_t i = 0; i < canvas.ops.size(); ++i) {
      const auto& title = canvas.ops[i];
      const bool isTitle = title.kind == Kind::text && title.box.x() == 48 &&
                           (i > methods ? title.font == PdfFont{9, PdfWeight::semibold}
                                        : title.font == PdfFont{10, PdfWeight::semibold});
      if (!isTitle) continue;
      // The next text drawn is the first line of the indented paragraph under it.
      std::size_t next = i + 1;
      while (next < canvas.ops.size() && (canvas.ops[next].kind != Kind::text || isFooter(canvas.ops[next])))
        ++next;
      ASSERT_LT(next, canvas.ops.size());
      EXPECT_EQ(canvas.ops[next].box.x(), 58) << title.text.toStdString();
      EXPECT_EQ(canvas.ops[next].page, title.page) << title.text.toStdString();
      if (i > methods && title.box.y() + title.box.height() == kTop) ++titlesOnTop;
    }
  }
  // The sweep did bring method titles to a page's foot.
  EXPECT_GT(titlesOnTop, 0);
}
}  // namespace
}  // namespace kivo
