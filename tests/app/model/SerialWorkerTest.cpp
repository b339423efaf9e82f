#include "model/SerialWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace kivo {
namespace {

TEST(SerialWorker, RunsJobsOneAfterAnotherInOrderOffTheCallersThread) {
  std::vector<int> order;  // touched only by the worker until waitIdle returns
  std::thread::id ranOn;
  SerialWorker worker;
  for (int i = 0; i < 200; ++i) {
    worker.post([&order, &ranOn, i] {
      if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      order.push_back(i);
      ranOn = std::this_thread::get_id();
    });
  }
  worker.waitIdle();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(SerialWorker, EndingRunsTheJobsAlreadyGiven) {
  int done = 0;
  {
    SerialWorker worker;
    worker.post([] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); });
    for (int i = 0; i < 10; ++i) worker.post([&done] { ++done; });
  }
  EXPECT_EQ(done, 10);
}

}  // namespace
}  // namespace kivo
