#pragma once
// Another process holding a file open (file_holder.exe, built beside the
// test programs), for tests of how the tool shares files with other programs.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/scoped_win.h"

namespace urlcheck::test {

class FileHolder {
 public:
  FileHolder() = default;
  ~FileHolder() { Release(); }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  // Starts the holder on an existing file with CreateFileW's access and
  // share mode, and returns once the file is open in it. Fails (with the
  // reason) when the holder cannot open it or does not answer in time.
  ::testing::AssertionResult Hold(const std::wstring& path, DWORD access, DWORD share);

  // Lets the holder close the file and waits for it to end (ending it by
  // force if it does not); nothing to do when nothing is held.
  void Release();

 private:
  UniqueKernelHandle process_;
  UniqueKernelHandle input_;  // the holder's standard input: closing it releases the file
};

}  // namespace urlcheck::test
