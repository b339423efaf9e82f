#include "reporting/ReportGenerator.h"

namespace kivo::ReportGenerator {

namespace {

bool isLineBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85) ||
         c == u'\v' || c == u'\f';
}

void appendCell(QString& out, const QString& cell) {
  for (qsizetype i = 0; i < cell.size(); ++i) {
    const QChar c = cell[i];
    if (c == u'|') {
      out += QStringLiteral("\\|");
    } else if (isLineBreak(c)) {
      // A CR LF pair is one break.
      if (c == u'\r' && i + 1 < cell.size() && cell[i + 1] == u'\n') ++i;
      out += u' ';
    } else {
      out += c;
    }
  }
}

void appendLine(QString& out, const QStringList& cells) {
  out += QStringLiteral("| ");
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) out += QStringLiteral(" | ");
    appendCell(out, cells[i]);
  }
  out += QStringLiteral(" |\n");
}

}  // namespace

QString line(const QStringList& cells) {
  QString out;
  appendLine(out, cells);
  return out;
}

QString table(const QStringList& headers, const QList<QStringList>& rows) {
  QString out;
  appendLine(out, headers);
  QStringList rule;
  rule.reserve(headers.size());
  for (qsizetype i = 0; i < headers.size(); ++i) rule.append(QStringLiteral("---"));
  appendLine(out, rule);
  for (const auto& row : rows) appendLine(out, row);
  return out;
}

QString field(const QString& text) {
  bool quote = false;
  for (const QChar c : text) {
    if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
      quote = true;
      break;
    }
  }
  if (!quote) return text;
  QString out;
  out.reserve(text.size() + 2);
  out += u'"';
  for (const QChar c : text) {
    if (c == u'"') out += u'"';
    out += c;
  }
  out += u'"';
  return out;
}

}  // namespace kivo::ReportGenerator
