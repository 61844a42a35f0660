#pragma once

// Owners for the Win32 handles the program, the stand-in and the tests hold.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace win32 {

struct FontDeleter {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// A kernel object: a file, a process, an event.
struct HandleCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

inline bool valid(const UniqueHandle &handle) {
    return handle && handle.get() != INVALID_HANDLE_VALUE;
}

// A window moved to a screen of another resolution takes the place Windows
// suggests for it (WM_DPICHANGED's lParam).
inline void moveToSuggested(HWND window, LPARAM suggested) {
    const auto *r = reinterpret_cast<const RECT *>(suggested);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace win32
