#pragma once

#include <QString>

namespace kivo {

// What a sampling slider shows for a stored interval. The slider moves in whole seconds; a
// stored value it cannot stand on (0.5 s from the test interval option, or anything outside its
// range) keeps its text as stored and leaves the handle at the nearest end or step, so nothing
// is written back until the user moves it.
struct IntervalSlider {
  double lower = 1;
  double upper = 10;

  // The handle position: the value clamped to the range (before any conversion, so a huge or
  // non-finite value cannot overflow), then truncated toward zero.
  int position(double value) const;
  // Whether the slider can stand exactly on the value.
  bool represents(double value) const;
  // "%1 s": whole seconds as a whole number, anything else with its fraction as stored
  // (up to three digits) in the locale's format; "—" for a value that is not finite.
  static QString text(double value);
};

}  // namespace kivo
