#include <windows.h>

#include <clocale>

#include <gtest/gtest.h>

#include "base/AppModule.h"

// The program runs with the "chs" C runtime locale; so do its tests.
int main(int argc, char** argv) {
  _wsetlocale(LC_ALL, L"chs");
  lumo::AppModule().Init(::GetModuleHandleW(nullptr));
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  lumo::AppModule().Term();
  return result;
}
