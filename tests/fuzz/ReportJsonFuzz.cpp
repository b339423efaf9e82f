// An exported JSON report read back. What reads must write and read back the same.
#include "FuzzInput.h"

#include "reporting/Report.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kivo;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  Report report;
  try {
    report = Report::fromJson(bytes);
  } catch (const ReportFormatError&) {
    return 0;
  }
  try {
    const QByteArray written = report.toJson();
    if (Report::fromJson(written).toJson() != written) {
      std::fprintf(stderr, "a report read back does not write the same JSON again\n");
      std::abort();
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "a report that was read cannot be written and read again: %s\n", error.what());
    std::abort();
  }
  return 0;
}
