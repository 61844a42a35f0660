// The office's list read where it lies, as a share may keep it: unreachable, or written
// by a colleague at this moment.

#include "office/list_file.h"
#include "win32/owners.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using office::ListFile;
using office::ListFileReading;

constexpr DWORD kMostBytes = 64 * 1024;

// A share that does not exist answers at once, and is no file to mend.
TEST(ListFile, OnAServerThatCannotBeReachedIsToBeTriedLater) {
    ListFileReading reading(L"\\\\blattkopf-kein-server.invalid\\freigabe\\Konstrukteure.txt",
                            kMostBytes);
    const ListFile file = reading.take();
    EXPECT_EQ(file.outcome, ListFile::Outcome::Unreachable);
    EXPECT_TRUE(file.bytes.empty());
    EXPECT_TRUE(file.problem.starts_with(L"Der Server oder das Netzlaufwerk, auf dem die Datei "
                                         L"liegt, "))
        << std::string(file.problem.begin(), file.problem.end());
}

// A colleague's editor saving the list holds it for writing: what it has written so far is
// never taken for the list, and once it is done the list is read whole.
TEST(ListFile, BeingWrittenIsNeverReadHalf) {
    const std::wstring path =
        std::filesystem::temp_directory_path().wstring() + L"blattkopf-halb.txt";
    win32::UniqueHandle editor(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(win32::valid(editor));
    const std::string half = "Anna\r\nBer", rest = "nd\r\nCarl\r\n";
    DWORD written = 0;
    WriteFile(editor.get(), half.data(), static_cast<DWORD>(half.size()), &written, nullptr);
    {
        ListFileReading reading(path, kMostBytes);
        const ListFile file = reading.take();
        EXPECT_EQ(file.outcome, ListFile::Outcome::Locked);
        EXPECT_TRUE(file.bytes.empty());
    }
    WriteFile(editor.get(), rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr);
    editor.reset();
    ListFileReading reading(path, kMostBytes);
    const ListFile file = reading.take();
    EXPECT_EQ(file.outcome, ListFile::Outcome::Read);
    EXPECT_EQ(file.bytes, half + rest);
    DeleteFileW(path.c_str());
}

} // namespace
