#pragma once

#include <QString>

#include <stdexcept>

namespace kivo {

// Thrown only while opening the history store; later failures are reported by the
// operations' results and TimeSeriesStore::lastError().
class StoreError : public std::runtime_error {
 public:
  enum class Kind {
    open,  // the database could not be opened (or is in use by another instance)
    sql,   // a set-up statement failed: not a database, damaged, or an unexpected layout
  };

  StoreError(Kind kind, const QString& message);

  Kind kind() const { return kind_; }
  const QString& message() const { return message_; }
  // The form shown to a person: open("message") or sql("message"). what() returns it too.
  QString description() const;

 private:
  Kind kind_;
  QString message_;
};

}  // namespace kivo
