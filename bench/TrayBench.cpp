#include "features/tray/MenuBarRenderer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include <memory>

using namespace kivo;

namespace {

// The label needs fonts, so a GUI application; one for the whole benchmark program.
void ensureApplication() {
  if (QCoreApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kivo-bench";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  (void)app;
}

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
  ensureApplication();
  const auto segments = fiveIndicators();
  for (auto _ : state) {
    const MenuBarRenderer renderer(segments, true);
    QImage image = renderer.render(2, Qt::white);
    benchmark::DoNotOptimize(image.constBits());
  }
}

}  // namespace

BENCHMARK(BM_TrayLabelImage)->Unit(benchmark::kMicrosecond);
