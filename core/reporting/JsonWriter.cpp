#include "reporting/JsonWriter.h"

#include "reporting/ExportText.h"

#include <cmath>

namespace kivo {

void JsonWriter::newline() {
  out_.append('\n');
  for (std::size_t i = 0; i < levels_.size(); ++i) out_.append("  ", 2);
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  auto& level = levels_.back();
  if (!level.empty) out_.append(',');
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
  out_.append('{');
  levels_.push_back({true, true});
}

void JsonWriter::beginArray() {
  beforeValue();
  out_.append('[');
  levels_.push_back({false, true});
}

void JsonWriter::endObject() {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) newline();
  out_.append('}');
}

void JsonWriter::endArray() {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) newline();
  out_.append(']');
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
  out_.append(QByteArray::number(static_cast<qlonglong>(value)));
}

QByteArray JsonWriter::take() { return std::move(out_); }

void JsonWriter::appendEscaped(QByteArray& out, std::string_view utf8) {
  static const char hex[] = "0123456789abcdef";
  out.append('"');
  for (const char c : utf8) {
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
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          const auto u = static_cast<unsigned char>(c);
          const char escape[] = {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 15]};
          out.append(escape, 6);
        } else {
          out.append(c);
        }
    }
  }
  out.append('"');
}

}  // namespace kivo
