#include "reporting/JsonWriter.h"

#include "reporting/ExportText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kivo {

void JsonWriter::newline() {
  static constexpr char spaces[] = "\n                                                                ";
  std::size_t width = 2 * levels_.size();
  out_.append(spaces, 1 + std::min<std::size_t>(width, sizeof spaces - 2));
  // Deeper than the buffer: rare, so one space at a time.
  for (width = width > sizeof spaces - 2 ? width - (sizeof spaces - 2) : 0; width > 0; --width)
    out_.push_back(' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  auto& level = levels_.back();
  if (!level.empty) out_.push_back(',');
  level.empty = false;
  newline();
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  appendEscaped(out_, name);
  out_.append(" : ", 3);
  afterKey_ = true;
}

void JsonWriter::beginObject() {
  beforeValue();
  out_.push_back('{');
  levels_.push_back({true, true});
}

void JsonWriter::beginArray() {
  beforeValue();
  out_.push_back('[');
  levels_.push_back({false, true});
}

void JsonWriter::endObject() {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) newline();
  out_.push_back('}');
}

void JsonWriter::endArray() {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) newline();
  out_.push_back(']');
}

void JsonWriter::string(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  string(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void JsonWriter::string(std::string_view utf8) {
  beforeValue();
  appendEscaped(out_, utf8);
}

void JsonWriter::number(double value, std::string_view what) {
  if (!std::isfinite(value)) {
    std::string message = "Unable to encode the non-finite number ";
    message += std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    if (!what.empty()) {
      message += " at ";
      message += what;
    }
    message += " in JSON.";
    throw JsonEncodingError(message);
  }
  beforeValue();
  ExportText::appendShortestDecimal(out_, value);
}

void JsonWriter::integer(std::int64_t value) {
  beforeValue();
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_.append(buffer, end);
}

void JsonWriter::reserve(qsizetype bytes) {
  out_.reserve(static_cast<std::size_t>(bytes));
}

QByteArray JsonWriter::take() {
  QByteArray bytes(out_.data(), static_cast<qsizetype>(out_.size()));
  out_.clear();
  return bytes;
}

void JsonWriter::appendEscaped(std::string& out, std::string_view utf8) {
  static const char hex[] = "0123456789abcdef";
  out.push_back('"');
  // Copy runs that need no escape in one go.
  std::size_t run = 0;
  const auto flush = [&](std::size_t end) {
    if (end > run) out.append(utf8.data() + run, end - run);
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && c != '"' && c != '\\' && c != '/') continue;
    flush(i);
    run = i + 1;
    switch (c) {
      case '"':
        out.append("\\\"", 2);
        break;
      case '\\':
        out.append("\\\\", 2);
        break;
      case '/':
        out.append("\\/", 2);
        break;
      case '\b':
        out.append("\\b", 2);
        break;
      case '\f':
        out.append("\\f", 2);
        break;
      case '\n':
        out.append("\\n", 2);
        break;
      case '\r':
        out.append("\\r", 2);
        break;
      case '\t':
        out.append("\\t", 2);
        break;
      default: {
        const char escape[] = {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 15]};
        out.append(escape, 6);
      }
    }
  }
  flush(utf8.size());
  out.push_back('"');
}

}  // namespace kivo
