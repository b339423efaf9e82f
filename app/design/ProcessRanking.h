#pragma once

#include "collectors/ProcessSample.h"

#include <cstddef>
#include <vector>

namespace kivo {

// Which processes the top-process lists show (the CPU and memory pages, the dashboard's
// widgets), so every list ranks alike.
namespace ProcessRanking {

// Records with statistics and the figure ranked (a CPU percentage, or a resident size: kernel
// threads have none), largest first, at most `limit`. Equal figures keep the lower pid first, so
// a list does not shuffle between redraws. No sample gives none.
std::vector<const ProcessRecord*> top(const ProcessSample* sample, bool byMemory, std::size_t limit);

// The figure a bar is scaled to, from the first (largest) row: its memory, or its CPU
// percentage but at least 1 %; 1 without rows or when the largest is 0.
double scale(const std::vector<const ProcessRecord*>& rows, bool byMemory);

// A row's bar: its figure over the scale, within 0…1.
double fraction(const ProcessRecord& record, double scale, bool byMemory);

}  // namespace ProcessRanking

}  // namespace kivo
