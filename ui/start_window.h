#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

namespace ui {

// How long the load may take before the start window shows.
inline constexpr std::chrono::milliseconds kStartWindowDelay{1000};

inline constexpr wchar_t kStartWindowClass[] = L"blattkopf.StartWindow";

// The small window that shows while the load waits for the CAD program, which may
// take a minute to start: the program's name, what it is doing, a marquee and
// "Abbrechen". It appears only once the load has taken `delay`, and it runs on a
// thread of its own: the load's thread waits in COM's loop, which lets no clicks
// through. The load's thread tells it what to do by posted messages, which reach it
// also while the user holds its title bar or has its system menu open, and never
// waits for it but when it goes.
class StartWindow {
public:
    StartWindow(HINSTANCE instance, std::chrono::milliseconds delay);
    // Gone, and its thread ended, when this returns.
    ~StartWindow();
    StartWindow(const StartWindow &) = delete;
    StartWindow &operator=(const StartWindow &) = delete;

    // A message box of the load is coming up: the window gives way to it once the box
    // has the foreground (hidden any earlier, it would hand the foreground to another
    // program, and the box would open behind it). Back once the load goes on waiting.
    void giveWay();
    void resume();
    // The load has ended: a window not shown yet never shows. One that shows stays
    // until this goes, so that the program's window takes the foreground from it.
    void finish();

    // The user pressed "Abbrechen" (or Esc, or closed it). The load's thread is woken
    // at once, so that its wait for the CAD program notices.
    bool cancelled() const;

    // What the load's thread and the window's thread share.
    struct Shared;

private:
    static DWORD WINAPI run(void *shared);
    void tell();

    std::shared_ptr<Shared> shared_;
    HANDLE thread_ = nullptr;
};

} // namespace ui
