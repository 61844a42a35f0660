#include "failure_screenshot.h"

#include "process_windows.h"

#include <windows.h>

#include <string>
#include <vector>

namespace test {
namespace {

// The whole desktop as a bitmap file: what a test that drives windows saw.
bool saveDesktop(const std::wstring &path) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB};
    std::vector<BYTE> pixels(static_cast<std::size_t>((width * 3 + 3) & ~3) *
                             static_cast<std::size_t>(height));
    const bool copied = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                  reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS) != 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
    const BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(offset + pixels.size()), 0, 0, offset};
    const win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return copied && win32::valid(file) &&
           WriteFile(file.get(), &header, sizeof(header), &written, nullptr) &&
           WriteFile(file.get(), &info, sizeof(info), &written, nullptr) &&
           WriteFile(file.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written,
                     nullptr);
}

} // namespace

void ScreenshotOnFailure::OnTestPartResult(const ::testing::TestPartResult &result) {
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!result.failed() || taken_ || !test)
        return;
    taken_ = true;
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetEnvironmentVariableW(L"BLATTKOPF_SCREENSHOTS", folder.data(),
                                          static_cast<DWORD>(folder.size())));
    if (folder.empty()) {
        const std::wstring beside = besideThisProgram(L"screenshots");
        folder = beside.substr(1, beside.size() - 2);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".bmp";
    saveDesktop(folder + L"\\" + std::wstring(name.begin(), name.end()));
}

} // namespace test
