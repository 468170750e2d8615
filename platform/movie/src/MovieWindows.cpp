#include "MovieWindows.h"

#include <map>
#include <mutex>

namespace {

constexpr char kBackdropClass[] = "TlMovieFullScreen";

struct Hook {
    TlMovieWindowHook hook;
    void* context;
    WNDPROC original;
};

// The hooks and the backdrop are used from the window thread and the
// player thread alike.
std::mutex g_windowsLock;
std::map<HWND, Hook> g_hooks;
HWND g_backdrop = nullptr;

LRESULT CALLBACK HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Hook hook{};
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        auto found = g_hooks.find(window);
        if (found == g_hooks.end())
            return DefWindowProcA(window, message, wParam, lParam);
        hook = found->second;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.original));
            g_hooks.erase(found);
        }
    }
    LRESULT result = 0;
    if (message != WM_NCDESTROY && hook.hook(window, message, wParam, lParam, hook.context, &result))
        return result;
    return CallWindowProcA(hook.original, window, message, wParam, lParam);
}

LRESULT CALLBACK BackdropProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) {
        // The colour's brush lives as long as its window.
        HBRUSH brush = reinterpret_cast<HBRUSH>(SetClassLongPtrA(window, GCLP_HBRBACKGROUND, 0));
        if (brush != nullptr)
            DeleteObject(brush);
        std::lock_guard<std::mutex> guard(g_windowsLock);
        if (g_backdrop == window)
            g_backdrop = nullptr;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterBackdropClass(HINSTANCE instance)
{
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kBackdropClass, &existing))
        return true;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BackdropProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kBackdropClass;
    return RegisterClassA(&windowClass) != 0;
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&BackdropProcedure), &module);
    return module;
}

} // namespace

long MovieBeginFullScreen(const std::uint16_t rgb[3], HWND* window, long* width, long* height)
{
    if (rgb == nullptr || window == nullptr || width == nullptr || height == nullptr)
        return kTlMovieErrParam;
    MovieEndFullScreen();
    HINSTANCE instance = ThisModule();
    if (!RegisterBackdropClass(instance))
        return kTlMovieErrWindow;
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    HBRUSH brush = CreateSolidBrush(RGB(rgb[0] >> 8, rgb[1] >> 8, rgb[2] >> 8));
    HWND backdrop = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kBackdropClass, "", WS_POPUP, 0, 0, *width,
                                    *height, nullptr, nullptr, instance, nullptr);
    if (backdrop == nullptr) {
        DeleteObject(brush);
        return kTlMovieErrWindow;
    }
    SetClassLongPtrA(backdrop, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        g_backdrop = backdrop;
    }
    ShowWindow(backdrop, SW_SHOWNOACTIVATE);
    UpdateWindow(backdrop);
    *window = backdrop;
    return kTlMovieOk;
}

long MovieEndFullScreen()
{
    HWND backdrop = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        std::swap(backdrop, g_backdrop);
    }
    if (backdrop != nullptr) {
        // Only its own thread destroys a window; any other asks it to close.
        if (GetWindowThreadProcessId(backdrop, nullptr) == GetCurrentThreadId())
            DestroyWindow(backdrop);
        else
            PostMessageA(backdrop, WM_CLOSE, 0, 0);
    }
    return kTlMovieOk;
}

long MovieSetWindowHook(HWND window, TlMovieWindowHook hook, void* context)
{
    if (!IsWindow(window))
        return kTlMovieErrParam;
    std::lock_guard<std::mutex> guard(g_windowsLock);
    auto found = g_hooks.find(window);
    if (hook == nullptr) {
        if (found != g_hooks.end()) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.original));
            g_hooks.erase(found);
        }
        return kTlMovieOk;
    }
    if (found != g_hooks.end()) {
        found->second.hook = hook;
        found->second.context = context;
        return kTlMovieOk;
    }
    const LONG_PTR original =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProcedure));
    if (original == 0)
        return kTlMovieErrWindow;
    g_hooks[window] = {hook, context, reinterpret_cast<WNDPROC>(original)};
    return kTlMovieOk;
}
