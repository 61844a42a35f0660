#include "ui/fonts.h"

#include "ui/layout.h"

#include <algorithm>
#include <cwchar>

namespace ui {
namespace {

win32::UniqueFont face(const wchar_t *name, int pixels, int weight = FW_NORMAL, bool italic = false,
                       DWORD quality = DEFAULT_QUALITY) {
    return win32::UniqueFont(CreateFontW(-pixels, 0, 0, 0, weight, italic, FALSE, FALSE,
                                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         quality, DEFAULT_PITCH | FF_SWISS, name));
}

// Every label's caption fits its place in the font selected into `dc`.
bool labelsFit(HDC dc, UINT dpi) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return std::all_of(kControls.begin(), kControls.end(), [&](const ControlSpec &spec) {
        SIZE size{};
        return spec.role != Role::Label ||
               (GetTextExtentPoint32W(dc, spec.text, static_cast<int>(std::wcslen(spec.text)),
                                      &size) &&
                size.cx <=
                    twipsToPixels(spec.twips.right, dpi) - twipsToPixels(spec.twips.left, dpi) &&
                metrics.tmHeight <=
                    twipsToPixels(spec.twips.bottom, dpi) - twipsToPixels(spec.twips.top, dpi));
    });
}

// The twips table was drawn for the classic dialog face at 8 pt, and its labels are
// exactly as wide as their captions in it; the message font of the day (Segoe UI
// 9 pt on Windows 10 and 11) would cut them off. The face comes in bitmap sizes,
// one set for the system's resolution: where the size nearest 8 pt runs wider or
// taller at this resolution, the next smaller is taken, and where none fits (a
// window moved to a screen of far lower resolution) the face's scalable cousin.
win32::UniqueFont captionFace(HWND window, UINT dpi) {
    const HDC dc = GetDC(window);
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    win32::UniqueFont font;
    const auto choose = [&] {
        for (const wchar_t *name : {L"MS Sans Serif", L"Microsoft Sans Serif"})
            for (int pixels = MulDiv(8, static_cast<int>(dpi), 72);
                 pixels >= MulDiv(6, static_cast<int>(dpi), 72); --pixels) {
                SelectObject(dc, original); // a font still selected cannot be deleted
                font = face(name, pixels);
                SelectObject(dc, font.get());
                if (labelsFit(dc, dpi))
                    return;
            }
    };
    choose();
    SelectObject(dc, original);
    ReleaseDC(window, dc);
    return font;
}

} // namespace

// The captions' face holds one code page: a Czech, Polish, Greek or Russian name
// would show as placeholder marks. The fields take its TrueType cousin, drawn to
// its metrics, which has those scripts and which Windows links to faces for the
// rest (Chinese, Japanese, Korean), at the same 8 pt.
Faces chooseFaces(HWND window, UINT dpi) {
    return {captionFace(window, dpi),
            face(L"Microsoft Sans Serif", MulDiv(8, static_cast<int>(dpi), 72)),
            face(L"Tahoma", MulDiv(1425, static_cast<int>(dpi), 7200), FW_BOLD, true,
                 CLEARTYPE_QUALITY)}; // 14.25 pt
}

} // namespace ui
