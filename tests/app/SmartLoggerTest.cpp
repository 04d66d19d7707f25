#include "app/SmartLogger.h"

#include <windows.h>

#include <regex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/Sandbox.h"

namespace {

using lumo::test::ReadFileBytes;
using lumo::test::TempFolder;

const char kHeaderPattern[] =
    "\r\r\n================== Start Log:\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  ==================\r\n";
const char kEntryStamp[] = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ";

class SmartLoggerTest : public ::testing::Test {
 protected:
  std::wstring LogPath() const { return folder_ / L"lumo_uninst.log"; }
  std::string Contents() const { return ReadFileBytes(LogPath()); }
  TempFolder folder_;
  CSmartLogger logger_;
};

TEST_F(SmartLoggerTest, FirstWriteAddsHeaderAndEveryEntryEndsInCrLf) {
  logger_.SetPath(LogPath());
  logger_.Log(L"removed %d files from %s", 3, L"C:\\Kesto");
  logger_.Log(L"already ends with a line feed\n");
  const std::string expected = std::string(kHeaderPattern) + kEntryStamp +
                               "removed 3 files from C:\\\\Kesto\r\n" + kEntryStamp +
                               "already ends with a line feed\r\n";
  EXPECT_TRUE(std::regex_match(Contents(), std::regex(expected))) << Contents();
}

TEST_F(SmartLoggerTest, SecondProcessObjectAppendsWithItsOwnHeader) {
  logger_.SetPath(LogPath());
  logger_.Log(L"launcher");
  CSmartLogger second;
  second.SetPath(LogPath());
  second.Log(L"working");
  const std::string expected = std::string(kHeaderPattern) + kEntryStamp + "launcher\r\n" +
                               kHeaderPattern + kEntryStamp + "working\r\n";
  EXPECT_TRUE(std::regex_match(Contents(), std::regex(expected))) << Contents();
}

TEST_F(SmartLoggerTest, MessagesOverFiveHundredElevenCharactersAreDropped) {
  logger_.SetPath(LogPath());
  const std::wstring fits(511, L'a');
  const std::wstring tooLong(512, L'b');
  logger_.Log(L"%s", fits.c_str());
  logger_.Log(L"%s", tooLong.c_str());
  logger_.LogText(tooLong);
  const std::string contents = Contents();
  EXPECT_NE(contents.find(std::string(511, 'a') + "\r\n"), std::string::npos);
  EXPECT_EQ(contents.find('b'), std::string::npos);
}

TEST_F(SmartLoggerTest, FormattedTextIsWrittenAsDataNotAsAFormat) {
  logger_.SetPath(LogPath());
  logger_.Log(L"delete %s", L"C:\\100%d\\%s.txt");
  logger_.LogText(L"task says %s %n");
  const std::string contents = Contents();
  EXPECT_NE(contents.find("delete C:\\100%d\\%s.txt\r\n"), std::string::npos);
  EXPECT_NE(contents.find("task says %s %n\r\n"), std::string::npos);
}

TEST_F(SmartLoggerTest, ChineseTextIsStoredInCodePage936) {
  logger_.SetPath(LogPath());
  logger_.Log(L"卸载");
  EXPECT_NE(Contents().find("\xD0\xB6\xD4\xD8\r\n"), std::string::npos);
}

TEST_F(SmartLoggerTest, MissingFoldersAreCreated) {
  const std::wstring nested = folder_ / L"a\\b\\lumo_uninst.log";
  logger_.SetPath(nested);
  logger_.Log(L"hello");
  EXPECT_NE(ReadFileBytes(nested).find("hello\r\n"), std::string::npos);
}

TEST_F(SmartLoggerTest, MessagesWithoutPathWaitForOne) {
  EXPECT_EQ(logger_.Append(L"early"), 1u);
  EXPECT_EQ(logger_.Flush(), 0);
  logger_.SetPath(LogPath());
  logger_.Log(L"late");
  const std::string contents = Contents();
  const size_t early = contents.find("early\r\n");
  ASSERT_NE(early, std::string::npos);
  EXPECT_LT(early, contents.find("late\r\n"));
}

TEST_F(SmartLoggerTest, ConcurrentWritersLoseNoLine) {
  logger_.SetPath(LogPath());
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([this, t] {
      for (int i = 0; i < 40; ++i) logger_.Log(L"writer %d line %d", t, i);
    });
  }
  for (auto& w : writers) w.join();
  const std::string contents = Contents();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 40; ++i) {
      const std::string line = "writer " + std::to_string(t) + " line " + std::to_string(i) + "\r\n";
      EXPECT_NE(contents.find(line), std::string::npos) << line;
    }
  }
}

bool MakeFileOfSize(const std::wstring& path, LONGLONG size) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool ok = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
  ::CloseHandle(file);
  return ok;
}

TEST_F(SmartLoggerTest, OldLogOverOneGibibyteIsDeletedWhenThePathIsSet) {
  const std::wstring exact = folder_ / L"exact.log";
  const std::wstring over = folder_ / L"over.log";
  ASSERT_TRUE(MakeFileOfSize(exact, 1073741824LL));
  ASSERT_TRUE(MakeFileOfSize(over, 1073741825LL));

  logger_.SetPath(over);
  EXPECT_EQ(::GetFileAttributesW(over.c_str()), INVALID_FILE_ATTRIBUTES);

  CSmartLogger other;
  other.SetPath(exact);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW(exact.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_EQ(data.nFileSizeLow, 1073741824u);
}

}  // namespace
