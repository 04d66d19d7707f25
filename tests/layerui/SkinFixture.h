#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "base/Handles.h"
#include "layerui/ResInitializer.h"

namespace lumo::test {

// The program's registry with the skin pictures of Uninstall.exe (built next
// to the tests, loaded as a data file) and the chosen face; emptied again
// afterwards.
class SkinFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

 private:
  static UniqueModule skinModule_;
  static ResInitializer* resources_;
};

// Pumps the calling thread's messages until `done` or the queue stays empty
// after a few rounds of waiting; true when done.
bool PumpUntil(const std::function<bool()>& done);

}  // namespace lumo::test
