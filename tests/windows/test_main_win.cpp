// The tool's code runs on a thread where OLE is initialised (a single-threaded
// apartment), so every Windows-side test program runs its tests on one too.
#include <ole2.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const HRESULT ole = OleInitialize(nullptr);
  const int result = RUN_ALL_TESTS();
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}
