#pragma once

// Who the stand-in is, to COM and to those who start, find and configure it.

#include <windows.h>

namespace standin {

// The CAD program's ProgID, under which the stand-in registers a class of its own.
inline constexpr wchar_t kProgId[] = L"SldWorks.Application";
// {6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}
inline constexpr CLSID kClsid = {
    0x6e3c1f0a, 0x5b7d, 0x4c2e, {0x9a, 0x41, 0x3d, 0x8b, 0x2f, 0x6c, 0x7e, 0x15}};

// Its main window's class.
inline constexpr wchar_t kWindowClass[] = L"cadstandin.TitleBlock";

// Where a stand-in started by COM, which gets a fresh environment, finds its
// files: the values State and Journal under this key of HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\blattkopf\\cadstandin";

} // namespace standin
