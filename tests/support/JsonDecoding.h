#pragma once

#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace kivo::test {

// Decoding a record must fail with each of the keys removed in turn. decode returns anything
// that tests as a Boolean (an optional, a bool). Fails too when the whole object does not decode
// or lacks one of the keys, since every removal would then prove nothing.
template <typename Decode>
::testing::AssertionResult refusesWithoutEach(const QJsonObject& object, const QStringList& keys,
                                              Decode decode) {
  if (!decode(object)) return ::testing::AssertionFailure() << "the whole object does not decode";
  QStringList accepted;
  for (const QString& key : keys) {
    if (!object.contains(key)) {
      return ::testing::AssertionFailure() << "the object has no key \"" << key.toStdString() << '"';
    }
    QJsonObject missing = object;
    missing.remove(key);
    if (decode(missing)) accepted << key;
  }
  if (accepted.isEmpty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "decodes without " << accepted.join(QStringLiteral(", ")).toStdString();
}

// Every key of the object is required.
template <typename Decode>
::testing::AssertionResult refusesWithoutAnyKey(const QJsonObject& object, Decode decode) {
  return refusesWithoutEach(object, object.keys(), decode);
}

}  // namespace kivo::test
