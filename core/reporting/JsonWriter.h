#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// A report value that JSON cannot carry (a NaN or an infinity).
class JsonEncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pretty-printed JSON in the form exported reports use: one member per line, two-space
// indentation, " : " between key and value, empty containers as [] and {}, "/" escaped as
// "\/", doubles in the shortest round-trip form. Keys are written in the order given: the
// caller passes them sorted.
class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  void key(std::string_view name);

  void string(const QString& text);
  void string(std::string_view utf8);
  // Throws JsonEncodingError for a non-finite value; `what` names the field in the message.
  void number(double value, std::string_view what = {});
  void integer(std::int64_t value);

  void reserve(qsizetype bytes);
  QByteArray take();

  static void appendEscaped(std::string& out, std::string_view utf8);

 private:
  void beforeValue();
  void newline();

  std::string out_;
  struct Level {
    bool object;
    bool empty;
  };
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

}  // namespace kivo
