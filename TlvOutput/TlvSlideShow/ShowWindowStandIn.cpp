#include "ShowWindowStandIn.h"

#include "SlideshowMessages.h"
#include "SlideshowSequencer.h"

namespace {

constexpr char kFrameClass[] = "SlideShowWnd";
constexpr char kSlideClass[] = "TlSlideWnd";
constexpr int kSlideWindowId = 2000;

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

bool RegisterOnce(HINSTANCE instance, const char* name, WNDPROC procedure, UINT style)
{
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name, &existing))
        return true;
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

LRESULT CALLBACK SlideProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

ShowWindowStandIn::~ShowWindowStandIn()
{
    if (m_frame != nullptr && IsWindow(m_frame))
        DestroyWindow(m_frame);
}

bool ShowWindowStandIn::Create(SlideshowSequencer& sequencer, const RECT& rect)
{
    m_sequencer = &sequencer;
    HINSTANCE instance = ThisModule();
    if (!RegisterOnce(instance, kFrameClass, &FrameProcedure, 0) ||
        !RegisterOnce(instance, kSlideClass, &SlideProcedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS))
        return false;
    m_frame = CreateWindowExA(0, kFrameClass, "", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              instance, this);
    if (m_frame == nullptr)
        return false;
    RECT client;
    GetClientRect(m_frame, &client);
    m_slide = CreateWindowExA(0, kSlideClass, "Slideshow", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                              client.right, client.bottom, m_frame, reinterpret_cast<HMENU>(kSlideWindowId), instance,
                              nullptr);
    if (m_slide == nullptr)
        return false;
    sequencer.Movies().SetWindowHook(m_slide, &SlideHook, this);
    SetWindowPos(m_frame, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW);
    return true;
}

LRESULT CALLBACK ShowWindowStandIn::FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ShowWindowStandIn*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) {
        switch (message) {
        case kShowMsgEnded:
            self->m_ended = true;
            return 0;
        case kShowMsgReloadItem:
            self->m_sequencer->LoadItemImage(TlvItemFromWords(TlvWord(wParam), TlvWord(lParam)));
            return 0;
        case kShowMsgSlideChanged:
            ++self->m_slideChanges;
            return 0;
        case WM_SIZE:
            if (self->m_slide != nullptr)
                MoveWindow(self->m_slide, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            break;
        case WM_NCDESTROY:
            self->m_frame = nullptr;
            self->m_slide = nullptr;
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CALLBACK ShowWindowStandIn::SlideHook(HWND window, UINT message, WPARAM, LPARAM, void* context, LRESULT* result)
{
    auto* self = static_cast<ShowWindowStandIn*>(context);
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        self->m_sequencer->Paint();
        *result = 0;
        return true;
    }
    if (message == WM_LBUTTONDOWN)
        self->m_sequencer->Stop();
    return false;
}
