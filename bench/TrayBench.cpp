#include "features/tray/MenuBarRenderer.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include <memory>

using namespace kivo;

namespace {

std::vector<MenuBarRenderer::Segment> fiveIndicators() {
  const std::vector<double> ramp = {5, 12, 30, 44, 20, 65, 80, 92, 70, 50, 35, 60, 88};
  return {
      {QStringLiteral("CPU"), {QStringLiteral("42%")}, ramp, 100},
      {QStringLiteral("MEM"), {QStringLiteral("38%")}, std::nullopt, std::nullopt},
      {QString(), {QStringLiteral("\u2191 84K"), QStringLiteral("\u2193 1.5M")}, ramp, std::nullopt},
      {QString(), {QStringLiteral("R 2.5M"), QStringLiteral("W 12M")}, std::nullopt, std::nullopt},
      {QStringLiteral("CHG"), {QStringLiteral("76%")}, std::nullopt, std::nullopt},
  };
}

// What one tick costs when the label is rebuilt: measuring five indicators and drawing the
// image at scale 2 (a high-density tray).
void BM_TrayLabelImage(benchmark::State& state) {
  bench::ensureApplication();
  const auto segments = fiveIndicators();
  for (auto _ : state) {
    const MenuBarRenderer renderer(segments, true);
    QImage image = renderer.render(2, Qt::white);
    benchmark::DoNotOptimize(image.constBits());
  }
}

}  // namespace

BENCHMARK(BM_TrayLabelImage)->Unit(benchmark::kMicrosecond);
