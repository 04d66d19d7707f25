// GDI+ for the whole test run, as the program's start-up provides it; the
// registry is emptied before GDI+ goes down, as at the program's shutdown.
#include <gtest/gtest.h>

#include "layerui/GdiplusInclude.h"
#include "layerui/LayerResManager.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override {
    CLayerResManager::Instance()->ReleaseAll();
    if (token_) Gdiplus::GdiplusShutdown(token_);
    token_ = 0;
  }

 private:
  ULONG_PTR token_ = 0;
};

::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
