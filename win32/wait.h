#pragma once

#include <windows.h>

namespace win32 {

// Waits up to `timeoutMs` for `handle`, answering meanwhile what other threads send to
// this one's windows: a thread with windows that only waited would hold every program
// that sends to them (a broadcast, a window that hides or goes). True once signalled.
inline bool awaitAnsweringSent(HANDLE handle, DWORD timeoutMs = INFINITE) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = timeoutMs == INFINITE
                               ? INFINITE
                               : static_cast<DWORD>(now < deadline ? deadline - now : 0);
        switch (MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE)) {
        case WAIT_OBJECT_0:
            return true;
        case WAIT_OBJECT_0 + 1: {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            break;
        }
        default:
            return false;
        }
    }
}

} // namespace win32
