#pragma once

#include "metrics/ValueFormatter.h"
#include "pdf/PdfCanvas.h"
#include "reporting/Report.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QIODevice;

namespace kivo {

// Turns one finished report into a multi-page US Letter PDF: title block, system and metric
// tables, one chart per series, the report's own tables, findings, collection methods, data gaps
// and limitations, every page closed by a numbered footer.
class PdfReportRenderer {
 public:
  PdfReportRenderer(Report report, ValueFormatter formatter);

  // The document's bytes; absent (never empty) when it could not be made, so a caller never
  // writes an empty file over a good one.
  std::optional<QByteArray> render();
  // The document written to `device`; false when the device cannot take it.
  bool renderTo(QIODevice& device);
  // Lays the document out page after page on any canvas.
  void draw(PdfCanvas& canvas);

  // "KIVO Monitor " and the version of the running program: the document's creator.
  static QString creator();

  // Page geometry in points, y upward.
  static constexpr double kMargin = 48;
  static constexpr double kColumnWidth = 516;
  static constexpr double kTop = 744;
  static constexpr double kBottomLimit = 64;
  static constexpr double kFooterTop = 26;

 private:
  void newPage();
  void textBlock(const QString& text, const PdfFont& font, const QColor& colour, double x = kMargin,
                 double width = kColumnWidth);
  // keep: the height of what must follow the heading on its page (a table's header and first
  // two rows, or the first two paragraphs), so a heading is never left alone at a page's foot.
  void heading(const QString& text, double keep = 0);
  // A finding's or a method's title in ink, on a new page unless its text (indented, in
  // textFont) starts below it on the same page.
  void titleBlock(const QString& title, const PdfFont& font, const QString& text, const PdfFont& textFont);
  void table(const QStringList& headers, const QList<QStringList>& rows, const std::vector<double>& weights);
  void row(const QStringList& cells, const std::vector<double>& widths, bool header);
  // A new page inside a table, with the table's header row drawn again at its top.
  void continueTable(const std::vector<double>& widths, bool header);
  static std::vector<double> columnWidths(const std::vector<double>& weights);
  static QStringList fitted(const QStringList& cells, qsizetype count);
  // The vertical room a row, a table's start or a paragraph takes.
  double rowSpace(const QStringList& cells, const std::vector<double>& widths, bool header);
  double tableStart(const QStringList& headers, const QList<QStringList>& rows,
                    const std::vector<double>& weights, int bodyRows);
  double blockSpace(const QString& text, const PdfFont& font, double width = kColumnWidth);
  void chart(const ReportSeriesSummary& summary);
  void footer();
  void drawLines(const std::vector<PdfTextLine>& lines, std::size_t first, std::size_t last,
                 const PdfFont& font, const QColor& colour, double x, double top);
  QString formatted(const std::optional<double>& value, MetricID metric) const;

  Report report;
  ValueFormatter f;
  PdfCanvas* canvas = nullptr;
  double y = 0;
  int pageNumber = 0;
  const QStringList* tableHeaders = nullptr;  // while a table is drawn
};

}  // namespace kivo
