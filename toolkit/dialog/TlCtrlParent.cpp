#include "dialog/TlCtrlParent.h"

#include <mutex>

namespace {

struct LayoutState {
    HFONT dialogFont = nullptr;
    HFONT secondFont = nullptr;
    int height = 0;
    int width = 0;
    int secondHeight = 0;
    int secondWidth = 0;
    long living = 0;
    HMODULE library = nullptr;
};

// Dialogs may be made on more than one thread; the state is read under the lock.
std::mutex& StateLock()
{
    static std::mutex lock;
    return lock;
}

LayoutState& State()
{
    static LayoutState state;
    return state;
}

LayoutState Snapshot()
{
    std::lock_guard<std::mutex> guard(StateLock());
    return State();
}

void Measure(HDC dc, HFONT font, int& height, int& width)
{
    height = width = 0;
    if (font == nullptr || dc == nullptr)
        return;
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(dc, &metrics)) {
        height = metrics.tmHeight;
        width = metrics.tmAveCharWidth;
    }
    SelectObject(dc, previous);
}

void FreeLibraryUnlocked(LayoutState& state)
{
    if (state.library != nullptr)
        FreeLibrary(state.library);
    state.library = nullptr;
}

constexpr int kChildStyle = 0x54000000;

} // namespace

CCtrlParent::CCtrlParent() noexcept
{
    std::lock_guard<std::mutex> guard(StateLock());
    ++State().living;
}

CCtrlParent::~CCtrlParent()
{
    std::lock_guard<std::mutex> guard(StateLock());
    LayoutState& state = State();
    if (--state.living == 0)
        FreeLibraryUnlocked(state);
}

int CCtrlParent::GetFontHeight() const { return Snapshot().height; }
int CCtrlParent::GetFontWidth() const { return Snapshot().width; }
int CCtrlParent::GetSecondFontHeight() const { return Snapshot().secondHeight; }
int CCtrlParent::GetSecondFontWidth() const { return Snapshot().secondWidth; }
int CCtrlParent::GetEditHeight() const { return GetFontHeight() + 4; }
int CCtrlParent::GetComboHeight() const { return GetFontHeight() + 4; }
int CCtrlParent::GetButtonHeight() const { return GetFontHeight() * 14 / 8; }
int CCtrlParent::GetListHeight(int lines) const { return GetButtonHeight() * (lines + 1); }
int CCtrlParent::GetCheckHeight() const { return GetFontHeight() * 14 / 8; }
int CCtrlParent::GetAtLeastMinimum(int n) const { return n > 20 ? n : 20; }
int CCtrlParent::GetMargin() const { return 12; }
int CCtrlParent::GetLabelWidth() const { return 35; }
int CCtrlParent::GetRowStep() const { return 24; }
int CCtrlParent::GetColumnStep() const { return 24; }
int CCtrlParent::GetGroupStep() const { return 24; }
int CCtrlParent::GetListExtraWidth() const { return 2 * GetFontWidth() + 12 + GetSystemMetrics(SM_CXVSCROLL); }
int CCtrlParent::GetGap() const { return 8; }
int CCtrlParent::GetSmallGap() const { return 6; }
int CCtrlParent::GetLineSpacing() const { return GetFontHeight() * 3 / 8; }
int CCtrlParent::GetParagraphSpacing() const { return GetFontHeight() * 3 / 8; }
int CCtrlParent::GetIndent() const { return GetFontWidth(); }
int CCtrlParent::GetCheckIndent() const { return GetFontWidth(); }
int CCtrlParent::GetLabelOffset() const { return GetFontHeight() * 7 / 8; }
int CCtrlParent::GetEditOffset() const { return GetFontHeight() * 7 / 8; }
int CCtrlParent::GetCheckOffset() const { return GetFontHeight() * 7 / 8; }
int CCtrlParent::GetButtonOffset() const { return GetFontHeight() * 7 / 8; }
int CCtrlParent::GetChildStyle() const { return kChildStyle; }
int CCtrlParent::GetEditStyle() const { return GetChildStyle() | 0x30080; }
int CCtrlParent::GetCheckBoxStyle() const { return GetChildStyle() | 0x30003; }
int CCtrlParent::GetRadioStyle() const { return GetChildStyle() | 0x10009; }
int CCtrlParent::GetLabelStyle() const { return GetChildStyle() | 0x2028C; }
int CCtrlParent::GetStaticStyle() const { return GetChildStyle() | 0x20080; }
int CCtrlParent::GetCentredStyle() const { return GetChildStyle() | 0x20281; }
int CCtrlParent::GetRightStyle() const { return GetChildStyle() | 0x20282; }
int CCtrlParent::GetPushButtonStyle() const { return GetChildStyle() | 0x30000; }
int CCtrlParent::GetDefaultButtonStyle() const { return GetChildStyle() | 0x30000; }
int CCtrlParent::GetListBoxStyle() const { return GetChildStyle() | 0x230101; }
int CCtrlParent::GetDropDownStyle() const { return GetChildStyle() | 0x230003; }
int CCtrlParent::GetDropDownListStyle() const { return GetChildStyle() | 0x230003; }
int CCtrlParent::GetGroupStyle() const { return GetChildStyle() | 0x30000; }

void CCtrlParent::SetLayoutFonts(HFONT dialogFont, HFONT secondFont)
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    LayoutState measured;
    Measure(dc, dialogFont, measured.height, measured.width);
    Measure(dc, secondFont, measured.secondHeight, measured.secondWidth);
    if (dc != nullptr)
        ReleaseDC(desktop, dc);
    std::lock_guard<std::mutex> guard(StateLock());
    LayoutState& state = State();
    state.dialogFont = dialogFont;
    state.secondFont = secondFont;
    state.height = measured.height;
    state.width = measured.width;
    state.secondHeight = measured.secondHeight;
    state.secondWidth = measured.secondWidth;
}

HFONT CCtrlParent::GetDialogFont()
{
    return Snapshot().dialogFont;
}

HFONT CCtrlParent::GetSecondFont()
{
    return Snapshot().secondFont;
}

void CCtrlParent::KeepLibrary(HMODULE library)
{
    std::lock_guard<std::mutex> guard(StateLock());
    LayoutState& state = State();
    if (state.library != library)
        FreeLibraryUnlocked(state);
    state.library = library;
    if (state.living == 0)
        FreeLibraryUnlocked(state);
}

long CCtrlParent::GetLivingCount()
{
    return Snapshot().living;
}
