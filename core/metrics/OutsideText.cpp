#include "metrics/OutsideText.h"

#include <QStringView>

namespace kivo::OutsideText {

namespace {

constexpr char16_t kFirstStrongIsolate = 0x2068;
constexpr char16_t kPopDirectionalIsolate = 0x2069;

bool isLineBreak(char32_t c) {
  return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

enum class Kind { plain, lineBreak, tab, control, format, rightToLeft };

Kind kindOf(char32_t c) {
  // Most text is ASCII letters and punctuation: decided without a table look-up.
  if (c >= 0x20 && c < 0x7F) return Kind::plain;
  if (isLineBreak(c)) return Kind::lineBreak;
  if (c == u'\t') return Kind::tab;
  switch (QChar::category(c)) {
    case QChar::Other_Control:
      return Kind::control;
    case QChar::Other_Format:
      return Kind::format;
    default:
      break;
  }
  switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
      return Kind::rightToLeft;
    default:
      return Kind::plain;
  }
}

// The code point at i, moving i past it; a lone surrogate stands for itself.
char32_t nextCodePoint(const QString& text, qsizetype& i) {
  const QChar first = text[i++];
  if (first.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate()) {
    return QChar::surrogateToUcs4(first, text[i++]);
  }
  return first.unicode();
}

bool isBlank(QStringView text) {
  for (const QChar c : text) {
    if (!c.isSpace()) return false;
  }
  return true;
}

}  // namespace

bool needsChange(const QString& text) {
  if (isBlank(text)) return true;
  for (qsizetype i = 0; i < text.size();) {
    const char32_t c = nextCodePoint(text, i);
    if (kindOf(c) != Kind::plain) return true;
  }
  return false;
}

QString visible(const QString& text) {
  if (!needsChange(text)) return text;
  QString shown;
  shown.reserve(text.size() + 16);
  bool rightToLeft = false;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype start = i;
    const char32_t c = nextCodePoint(text, i);
    switch (kindOf(c)) {
      case Kind::lineBreak:
        // A CR LF pair is one break.
        if (c == u'\r' && i < text.size() && text[i] == u'\n') ++i;
        shown += QChar(0x21B5);  // ↵
        break;
      case Kind::tab:
        shown += QChar(0x21E5);  // ⇥
        break;
      case Kind::control:
        shown += QChar::ReplacementCharacter;
        break;
      case Kind::format:
        shown += QChar(0x2039);  // ‹
        shown += QStringLiteral("U+");
        shown += QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
        shown += QChar(0x203A);  // ›
        break;
      case Kind::rightToLeft:
        rightToLeft = true;
        shown += QStringView(text).sliced(start, i - start);
        break;
      case Kind::plain:
        shown += QStringView(text).sliced(start, i - start);
        break;
    }
  }
  if (rightToLeft) {
    shown.prepend(QChar(kFirstStrongIsolate));
    shown.append(QChar(kPopDirectionalIsolate));
  } else if (isBlank(text)) {
    shown.prepend(QChar(0x201C));  // “
    shown.append(QChar(0x201D));   // ”
  }
  return shown;
}

QString visibleCell(const QString& text) {
  return text.isEmpty() ? text : visible(text);
}

}  // namespace kivo::OutsideText
