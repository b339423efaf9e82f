#include "metrics/OutsideText.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kivo;

namespace {

// The explicit embeddings, overrides and isolates still open at the end of the text, counted
// as the bidirectional algorithm does (a PDF closes only an embedding or override opened after
// the last isolate, a PDI closes the last isolate and everything opened in it). Text placed
// after a text that leaves this at 0 is laid out by the paragraph alone.
int openAtEnd(const QString& text) {
  std::vector<char16_t> stack;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2068)) {
      stack.push_back(u);
    } else if (u == 0x202C) {
      if (!stack.empty() && stack.back() < 0x2066) stack.pop_back();
    } else if (u == 0x2069) {
      while (!stack.empty() && stack.back() < 0x2066) stack.pop_back();
      if (!stack.empty()) stack.pop_back();
    }
  }
  return static_cast<int>(stack.size());
}

bool hasHiddenCharacter(const QString& text) {
  // The isolate around the whole text is ours; anything else invisible would hide something.
  QStringView inner = text;
  if (inner.startsWith(QChar(0x2068)) && inner.endsWith(QChar(0x2069)))
    inner = inner.sliced(1, inner.size() - 2);
  for (qsizetype i = 0; i < inner.size(); ++i) {
    char32_t c = inner[i].unicode();
    if (inner[i].isHighSurrogate() && i + 1 < inner.size()) {
      c = QChar::surrogateToUcs4(inner[i], inner[i + 1]);
      ++i;
    }
    const auto category = QChar::category(c);
    if (category == QChar::Other_Control || category == QChar::Other_Format ||
        category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
      return true;
  }
  return false;
}

}  // namespace

TEST(OutsideText, HostileNamesShowEveryCharacterAndReorderNothingAfterThem) {
  const QString isolateStart(QChar(0x2068));
  const QString isolateEnd(QChar(0x2069));
  struct Case {
    QString name;
    QString shown;
  };
  std::vector<Case> cases = {
      {QStringLiteral("firefox"), QStringLiteral("firefox")},
      {QStringLiteral("rtl\u202Etxt.exe"), QStringLiteral("rtl\u2039U+202E\u203Atxt.exe")},
      {QStringLiteral("\u202Eabc"), QStringLiteral("\u2039U+202E\u203Aabc")},
      {QStringLiteral("a\u202Db"), QStringLiteral("a\u2039U+202D\u203Ab")},
      {QStringLiteral("a\u202Ab\u202Bc\u202Cd"),
       QStringLiteral("a\u2039U+202A\u203Ab\u2039U+202B\u203Ac\u2039U+202C\u203Ad")},
      {QStringLiteral("\u2066x\u2067y\u2068z\u2069"),
       QStringLiteral("\u2039U+2066\u203Ax\u2039U+2067\u203Ay\u2039U+2068\u203Az\u2039U+2069\u203A")},
      {QStringLiteral("\u200Eleft\u200Fright\u061C"),
       QStringLiteral("\u2039U+200E\u203Aleft\u2039U+200F\u203Aright\u2039U+061C\u203A")},
      // Zero-width characters, a soft hyphen, a byte-order mark and a tag character (beyond
      // U+FFFF) are all format characters: none may hide in a name.
      {QStringLiteral("zero\u200Bwidth\u200D\u00AD\uFEFF"),
       QStringLiteral("zero\u2039U+200B\u203Awidth\u2039U+200D\u203A\u2039U+00AD\u203A\u2039U+FEFF\u203A")},
      {QStringLiteral("tag\U000E0041"), QStringLiteral("tag\u2039U+E0041\u203A")},
      {QStringLiteral("two\nlines\r\nand\ttab\x01\x7f\u0085"),
       QStringLiteral("two\u21B5lines\u21B5and\u21E5tab\uFFFD\uFFFD\u21B5")},
      {QStringLiteral("p\u2028q\u2029r"), QStringLiteral("p\u21B5q\u21B5r")},
      // Right-to-left text is isolated, with its controls shown.
      {QStringLiteral("\u05E9\u05DC\u05D5\u05DD"),
       isolateStart + QStringLiteral("\u05E9\u05DC\u05D5\u05DD") + isolateEnd},
      {QStringLiteral("\u0645\u0631\u062D\u0628\u0627 1"),
       isolateStart + QStringLiteral("\u0645\u0631\u062D\u0628\u0627 1") + isolateEnd},
      {QStringLiteral("\u05D0\u202C"),
       isolateStart + QStringLiteral("\u05D0\u2039U+202C\u203A") + isolateEnd},
      // Nothing, or only blanks, is shown quoted.
      {QString(), QStringLiteral("\u201C\u201D")},
      {QStringLiteral("   "), QStringLiteral("\u201C   \u201D")},
      {QStringLiteral("\u00A0\u3000"), QStringLiteral("\u201C\u00A0\u3000\u201D")},
      {QStringLiteral("\t"), QStringLiteral("\u201C\u21E5\u201D")},
      // Markup is not ours to interpret: shown as it is (labels are plain text).
      {QStringLiteral("<b>x</b>"), QStringLiteral("<b>x</b>")},
  };
  // 200 characters of overrides: every one shown, none left open.
  QString many;
  QString manyShown;
  for (int i = 0; i < 200; ++i) {
    many += QChar(0x202E);
    manyShown += QStringLiteral("\u2039U+202E\u203A");
  }
  cases.push_back({many, manyShown});
  const QString longName = QString(199, u'x') + QChar(0x202E);
  cases.push_back({longName, QString(199, u'x') + QStringLiteral("\u2039U+202E\u203A")});

  for (const Case& c : cases) {
    const QString shown = OutsideText::visible(c.name);
    EXPECT_EQ(shown, c.shown) << c.name.toStdString();
    EXPECT_EQ(OutsideText::needsChange(c.name), shown != c.name) << c.name.toStdString();
    EXPECT_FALSE(hasHiddenCharacter(shown)) << c.name.toStdString();
    // A PID placed after the name stays outside every embedding, override and isolate.
    const QString withPID = QStringLiteral("Quit “") + shown + QStringLiteral("” (PID 26663)?");
    EXPECT_EQ(openAtEnd(shown), 0) << c.name.toStdString();
    EXPECT_EQ(openAtEnd(withPID), 0) << c.name.toStdString();
  }
  // The raw names themselves would leave overrides open: the table is not trivially true.
  EXPECT_GT(openAtEnd(QStringLiteral("rtl\u202Etxt.exe")), 0);
  EXPECT_GT(openAtEnd(many), 0);
}

TEST(OutsideText, PlainTextIsSharedNotCopied) {
  const QString name = QString::fromLatin1("gnome-shell");
  EXPECT_EQ(OutsideText::visible(name).constData(), name.constData());
}
