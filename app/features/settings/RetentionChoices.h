#pragma once

#include "metrics/ValueFormatter.h"

#include <QString>

#include <span>
#include <vector>

namespace kivo {

// The retention pickers of the History pane: each tier's choices (seconds) and what its picker
// lists for a stored value.
namespace RetentionChoices {

struct Choice {
  const char* title;  // localisation key
  double seconds;
};

std::span<const Choice> raw();
std::span<const Choice> minute();
std::span<const Choice> hour();

struct Entry {
  QString title;
  double seconds = 0;
};

// The choices in order and the one selected. A stored value that matches none is listed after
// them as it is ("1 h 30 min") and selected, so the picker shows it without changing it.
struct Picker {
  std::vector<Entry> entries;
  int selected = 0;
  bool extra = false;  // the last entry is the stored value that matches no choice
};

Picker picker(std::span<const Choice> choices, double stored, const ValueFormatter& format);

}  // namespace RetentionChoices

}  // namespace kivo
