// The real PDF, read back with the poppler tools; the documents are also written to the test
// output folder for a person to look at.

#include "pdf/PdfReportRenderer.h"
#include "pdf/PdfWriterCanvas.h"

#include "ReportFixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kivo {
namespace {

// Output of a poppler tool on a file; fails the test when the tool cannot run.
QString tool(const QString& program, QStringList arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString() << " failed (poppler-utils is installed by scripts/setup): "
                  << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString written(const Report& report, const QString& name) {
  const auto bytes = PdfReportRenderer(report, test::englishFormatter()).render();
  EXPECT_TRUE(bytes.has_value());
  if (!bytes) return {};
  EXPECT_TRUE(bytes->startsWith("%PDF-"));
  const QString path = test::outputDir() + u'/' + name;
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(*bytes);
  file.close();
  return path;
}

QStringList pages(const QString& path) {
  QStringList out = tool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).split(u'\f');
  if (!out.isEmpty() && out.back().trimmed().isEmpty()) out.removeLast();
  return out;
}

QString info(const QString& path, const QString& key) {
  const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                QRegularExpression::MultilineOption);
  return line.match(tool(QStringLiteral("pdfinfo"), {path})).captured(1).trimmed();
}

TEST(PdfDocument, SystemReportReadsBackPageByPage) {
  const Report report = test::buildReport(test::systemInputs());
  const QString path = written(report, QStringLiteral("report-system.pdf"));
  ASSERT_FALSE(path.isEmpty());

  EXPECT_TRUE(info(path, QStringLiteral("Page size")).startsWith(QStringLiteral("612 x 792 pts")));
  EXPECT_EQ(info(path, QStringLiteral("Title")), report.title);
  EXPECT_EQ(info(path, QStringLiteral("Creator")), PdfReportRenderer::creator());
  EXPECT_TRUE(PdfReportRenderer::creator().startsWith(QStringLiteral("KIVO Monitor ")));

  // Every font is embedded (a subset of DejaVu Sans), so the marks show wherever it is opened.
  const QStringList fonts = tool(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_FALSE(fonts.isEmpty());
  for (const QString& font : fonts) {
    EXPECT_TRUE(font.contains(QStringLiteral("DejaVuSans"))) << font.toStdString();
    const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
    ASSERT_GE(columns.size(), 5);
    // name, type words..., encoding, emb, sub, uni, object, id
    EXPECT_EQ(columns[columns.size() - 5], QStringLiteral("yes")) << font.toStdString();
  }

  const QStringList text = pages(path);
  ASSERT_GE(text.size(), 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    EXPECT_EQ(text[i].count(QStringLiteral("KIVO Monitor · ")), 1) << "page " << i + 1;
    EXPECT_TRUE(text[i].contains(QStringLiteral("KIVO Monitor · %1 · %2").arg(report.title).arg(i + 1)))
        << "page " << i + 1;
  }

  const QString all = text.join(u'\n');
  qsizetype at = -1;
  for (const QString& heading :
       {report.title, QStringLiteral("System"), QStringLiteral("Metrics"), QStringLiteral("Volumes"),
        QStringLiteral("Findings"), QStringLiteral("Collection methods"), QStringLiteral("Data gaps"),
        QStringLiteral("Limitations")}) {
    const qsizetype found = all.indexOf(
        QRegularExpression(QStringLiteral("^%1$").arg(heading), QRegularExpression::MultilineOption), at + 1);
    EXPECT_GT(found, at) << heading.toStdString();
    at = found;
  }
  // The marks of the text come through as themselves.
  EXPECT_TRUE(all.contains(QStringLiteral(" → ")));
  EXPECT_TRUE(all.contains(QStringLiteral("• ")));
  // GPU utilization has no value in the fixture: three dashes on its metric row.
  const QRegularExpression gpuRow(QStringLiteral("GPU utilization\\s+—\\s+—\\s+—"));
  EXPECT_TRUE(tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                  .contains(gpuRow));
}

TEST(PdfDocument, EmptyReportHasNoFindingsHeading) {
  const Report report = test::buildReport(test::emptyInputs());
  ASSERT_TRUE(report.findings.empty());
  const QString path = written(report, QStringLiteral("report-empty.pdf"));
  ASSERT_FALSE(path.isEmpty());
  const QStringList text = pages(path);
  ASSERT_FALSE(text.isEmpty());
  const QString all = text.join(u'\n');
  EXPECT_FALSE(all.contains(QStringLiteral("Findings")));
  for (const QString& heading :
       {QStringLiteral("System"), QStringLiteral("Metrics"), QStringLiteral("Collection methods"),
        QStringLiteral("Data gaps"), QStringLiteral("Limitations")})
    EXPECT_TRUE(all.contains(heading)) << heading.toStdString();
  EXPECT_TRUE(
      text.back().contains(QStringLiteral("KIVO Monitor · %1 · %2").arg(report.title).arg(text.size())));
}

TEST(PdfDocument, NoBytesWhenTheDocumentCannotBeWritten) {
  const Report report = test::buildReport(test::systemInputs());
  PdfReportRenderer renderer(report, test::englishFormatter());

  QTemporaryDir dir;
  QFile missingFolder(dir.filePath(QStringLiteral("missing/report.pdf")));
  EXPECT_FALSE(renderer.renderTo(missingFolder));
  QByteArray held("good file");
  QBuffer readOnly(&held);
  ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
  EXPECT_FALSE(renderer.renderTo(readOnly));
  EXPECT_EQ(held, QByteArray("good file"));

  QBuffer out;
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  EXPECT_TRUE(renderer.renderTo(out));
  EXPECT_TRUE(out.data().startsWith("%PDF-"));
}

// Text is measured on the PDF device: no wrapped line is wider than its column, a word wider
// than the column is cut anywhere, and the text's own line breaks are kept.
TEST(PdfDocument, WrappedLinesFitTheirColumn) {
  QBuffer out;
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  PdfWriterCanvas canvas(&out, QStringLiteral("t"), QStringLiteral("c"));
  ASSERT_TRUE(canvas.isOpen());
  const PdfFont font{9, PdfWeight::regular};
  // The same face measured on a second PDF device of the same resolution.
  QBuffer scratch;
  QPdfWriter device(&scratch);
  device.setResolution(72);
  QFont qfont(QStringLiteral("DejaVu Sans"));
  qfont.setPointSizeF(9);
  qfont.setHintingPreference(QFont::PreferNoHinting);
  const QFontMetricsF metrics(qfont, &device);

  const QString path = QStringLiteral("/very/long/path/without/any/space/").repeated(8);
  const auto cut = canvas.wrap(path, font, 100);
  ASSERT_GE(cut.size(), 5u);
  QString joined;
  for (const auto& line : cut) {
    joined += line.text;
    EXPECT_LE(metrics.horizontalAdvance(line.text), 100.5) << line.text.toStdString();
    EXPECT_GT(line.height, 9);
    EXPECT_LT(line.height, 14);
  }
  EXPECT_EQ(joined, path);

  const QString sentence =
      QStringLiteral("Average CPU usage stayed above 80% for 10 min — peak 97.3% → done · • ok");
  QStringList words;
  for (const auto& line : canvas.wrap(sentence, font, 120)) {
    EXPECT_LE(metrics.horizontalAdvance(line.text), 120.5) << line.text.toStdString();
    words += line.text.split(u' ');
  }
  EXPECT_EQ(words.join(u' '), sentence);

  const auto broken = canvas.wrap(QStringLiteral("first\nsecond\r\nthird"), font, 500);
  ASSERT_EQ(broken.size(), 3u);
  EXPECT_EQ(broken[0].text, QStringLiteral("first"));
  EXPECT_EQ(broken[1].text, QStringLiteral("second"));
  EXPECT_EQ(broken[2].text, QStringLiteral("third"));
  EXPECT_TRUE(canvas.wrap(QString(), font, 500).empty());
  EXPECT_TRUE(canvas.finish());
}

// Read back from the real document: however long the tables above are, no page ends with a
// collection method's title whose text is on the next page.
TEST(PdfDocument, NoPageEndsWithAMethodTitle) {
  int startsWithTitle = 0;
  for (int rows = 0; rows <= 32; rows += 2) {
    SCOPED_TRACE(rows);
    Report report = test::buildReport(test::systemInputs());
    report.system.clear();
    for (int i = 0; i < rows; ++i) report.system.append({QStringLiteral("k"), QStringLiteral("v")});
    QStringList titles;
    for (const ReportSeriesSummary& s : report.series)
      titles.append(s.name + QStringLiteral(" — ") + s.source);
    const QString path = written(report, QStringLiteral("report-method-titles.pdf"));
    ASSERT_FALSE(path.isEmpty());
    for (const QString& page : pages(path)) {
      QStringList lines = page.split(u'\n', Qt::SkipEmptyParts);
      lines.removeIf([&](const QString& line) { return line.startsWith(QStringLiteral("KIVO Monitor · ")); });
      ASSERT_FALSE(lines.isEmpty());
      EXPECT_FALSE(titles.contains(lines.back().trimmed())) << lines.back().toStdString();
      startsWithTitle += titles.contains(lines.front().trimmed());
    }
  }
  EXPECT_GT(startsWithTitle, 0) << "no method title ever met a page foot";
}

}  // namespace
}  // namespace kivo
