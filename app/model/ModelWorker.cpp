#include "model/ModelWorker.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kivo {

ModelWorker::ModelWorker() : context_(std::make_unique<QObject>()) {}

ModelWorker::~ModelWorker() = default;

void ModelWorker::post(std::function<void()> job) {
  worker_.post(std::move(job));
}

void ModelWorker::deliver(std::function<void()> apply) {
  bool first = false;
  {
    std::lock_guard lock(resultsMutex_);
    first = results_.empty();
    results_.push_back(std::move(apply));
  }
  if (first)
    QMetaObject::invokeMethod(
        context_.get(), [this] { applyResults(); }, Qt::QueuedConnection);
}

void ModelWorker::applyResults() {
  std::vector<std::function<void()>> ready;
  {
    std::lock_guard lock(resultsMutex_);
    ready.swap(results_);
  }
  for (auto& apply : ready) apply();
}

void ModelWorker::settle() {
  for (int round = 0; round < 4; ++round) {
    worker_.waitIdle();
    applyResults();
  }
  QCoreApplication::sendPostedEvents(context_.get(), QEvent::MetaCall);
}

}  // namespace kivo
