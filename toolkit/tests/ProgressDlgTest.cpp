// The upload progress window made from the test module's dialog 6001: the
// notices on its real controls, its two layouts, its placement in the
// last-used settings and its Cancel button.
#include "RegistryTestKeys.h"
#include "TestModuleFiles.h"

#include "dialog/TlvProgressDlg.h"
#include "items/TlvUploadItem.h"
#include "lang/TlvLangResource.h"
#include "task/ITlTask.h"
#include "task/TlvUploadNotices.h"

#include "runbase/TlvMessageCodes.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char kPlacementValue[] = "ProgressWindowPlacement"; // text 31207 of the language library
const char* const kSettingsKey = "Software\\TalvoToolkitTest\\ToolkitTests\\1.0\\LastSettings";

// A task that only counts its aborts.
class CountingTask : public ITlTask {
public:
    int aborts = 0;
    unsigned long GetModuleId() override { return 6; }
    void Abort() override { ++aborts; }
    unsigned long Hook3() override { return 0; }
    unsigned long Step(TlvWord*) override { return 0; }
    bool IsBusy() override { return false; }
    unsigned long Run() override { return 0; }
    unsigned long Hook8() override { return 0; }
    void Hook9() override {}
    unsigned long InitLibrary() override { return 1; }
    void Hook11() override {}
    CAlbumInfo* GetAlbumInfo() override { return nullptr; }
    CUserInfo* GetUserInfo() override { return nullptr; }
    CTlvModuleItem* CreateItem() override { return nullptr; }
    unsigned long BuildStates() override { return 0; }
    void DeleteStates() override {}
    void SetProgressText(const char*, const char*) override {}
    unsigned long Hook18() override { return 0; }
    unsigned long SetState(unsigned) override { return 0; }
    unsigned long Notify(TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord) override
    {
        return 0;
    }
};

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT ClientRectOf(HWND control, HWND parent)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TextWidthIn(HWND window, const std::string& text)
{
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

class ProgressWindow : public RegistryTest {
protected:
    void SetUp() override
    {
        module = LoadLibraryA(BesideTestProgram("TlProgressTestModule.dll").c_str());
        ASSERT_NE(nullptr, module);
        previousResources = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        ASSERT_TRUE(language.Load(BesideTestProgram("TlvPDALang.dll").c_str()));
    }
    void TearDown() override
    {
        AfxSetResourceHandle(previousResources);
        if (module != nullptr)
            FreeLibrary(module);
    }

    // A made and initialised window, texts from `withLanguage`'s library or the module.
    std::unique_ptr<CTlvProgressDlg> Make(bool withLanguage = true)
    {
        std::unique_ptr<CTlvProgressDlg> dialog(new CTlvProgressDlg(withLanguage ? &language : nullptr));
        EXPECT_TRUE(dialog->Create());
        EXPECT_EQ(0ul, dialog->Initialize(nullptr, nullptr, &task));
        return dialog;
    }

    unsigned long Notice(CTlvProgressDlg& dialog, TlvWord code, TlvWord subValue, TlvWord record = 0,
                         TlvWord replyTag = 0)
    {
        return dialog.Notify(code, 0, 0, record, 0, 0, subValue, 0, replyTag);
    }

    int BarPosition(CTlvProgressDlg& dialog)
    {
        return int(SendMessageA(dialog.GetDlgItem(CTlvProgressDlg::kProgressBar), PBM_GETPOS, 0, 0));
    }

    int ClientWidth(CTlvProgressDlg& dialog)
    {
        RECT client{};
        dialog.GetClientRect(&client);
        return client.right;
    }

    HMODULE module = nullptr;
    HINSTANCE previousResources = nullptr;
    CTlvLangResource language;
    CountingTask task;
};

TEST_F(ProgressWindow, IsMadeHiddenFromTheModulesDialogWithItsControls)
{
    auto dialog = Make();
    ASSERT_NE(nullptr, dialog->m_hWnd);
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ("Progress", TextOf(dialog->m_hWnd));
    for (UINT id : {6503u, 6504u, 6501u, 6506u, 6502u, UINT(IDCANCEL)})
        EXPECT_NE(nullptr, dialog->GetDlgItem(int(id))) << id;
    EXPECT_FALSE(IsWindowVisible(dialog->GetDlgItem(6503)));
    HWND bar = dialog->GetDlgItem(CTlvProgressDlg::kProgressBar);
    EXPECT_EQ(0, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(100, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(300, ClientRectOf(bar, dialog->m_hWnd).right - ClientRectOf(bar, dialog->m_hWnd).left);
    EXPECT_EQ(dialog->GetCompactWidth(), ClientWidth(*dialog));
    EXPECT_FALSE(dialog->IsWide());
}

TEST_F(ProgressWindow, TheButtonIsAsWideAsItsCaptionAtLeastTheMinimum)
{
    for (bool withLanguage : {true, false}) {
        auto dialog = Make(withLanguage);
        HWND button = dialog->GetDlgItem(IDCANCEL);
        const std::string caption = TextOf(button);
        EXPECT_EQ(withLanguage ? "Cancel" : "Stop sending the remaining pictures now", caption);
        const int text = TextWidthIn(dialog->m_hWnd, caption);
        const RECT place = ClientRectOf(button, dialog->m_hWnd);
        EXPECT_EQ(std::max(text, 50) + 12, place.right - place.left) << caption;
        EXPECT_EQ(withLanguage, text < 50) << caption; // both sides of the rule
    }
}

TEST_F(ProgressWindow, NoticesDriveTheWindowAndTheButton)
{
    const struct {
        const char* name;
        unsigned long code;
        TlvWord subValue;
        bool window, button;
    } cases[] = {
        {"logged in", TLV_MSG_UPLOAD_LOGGED_IN, 0, true, false},
        {"logged in, finished", TLV_MSG_UPLOAD_LOGGED_IN, 4, false, true},
        {"albums ready", TLV_MSG_UPLOAD_ALBUMS_READY, 1, true, false},
        {"albums ready, finished", TLV_MSG_UPLOAD_ALBUMS_READY, 4, false, true},
    };
    for (const auto& c : cases) {
        auto dialog = Make();
        EXPECT_EQ(0ul, Notice(*dialog, c.code, c.subValue)) << c.name;
        EXPECT_EQ(c.window, bool(dialog->IsWindowVisible())) << c.name;
        EXPECT_EQ(c.button, bool(GetWindowLongA(dialog->GetDlgItem(IDCANCEL), GWL_STYLE) & WS_VISIBLE)) << c.name;
    }
    auto dialog = Make();
    SetWindowTextA(dialog->GetDlgItem(6502), "before");
    Notice(*dialog, TLV_MSG_UPLOAD_LOGGED_IN, 4);
    EXPECT_EQ("before", TextOf(dialog->GetDlgItem(6502)));
    Notice(*dialog, TLV_MSG_UPLOAD_LOGGED_IN, 0);
    EXPECT_EQ("Connected.", TextOf(dialog->GetDlgItem(6502)));
}

TEST_F(ProgressWindow, UploadBeginAndEndChooseTheLayout)
{
    auto dialog = Make();
    const int columnOffset = dialog->GetWideWidth() - dialog->GetCompactWidth();
    ASSERT_GT(columnOffset, 136);
    RECT before{};
    dialog->GetWindowRect(&before);

    EXPECT_EQ(0ul, Notice(*dialog, TLV_MSG_UPLOAD_BEGIN, 0));
    EXPECT_TRUE(dialog->IsWide());
    EXPECT_TRUE(dialog->IsWindowVisible());
    EXPECT_EQ(dialog->GetWideWidth(), ClientWidth(*dialog));
    RECT wide{};
    dialog->GetWindowRect(&wide);
    EXPECT_EQ(before.left, wide.left);
    EXPECT_EQ(before.top, wide.top);
    EXPECT_EQ(before.bottom - before.top, wide.bottom - wide.top);
    // Every control is centred in the right-hand column.
    for (UINT id : {6504u, 6501u, 6506u, 6502u, UINT(IDCANCEL)}) {
        const RECT place = ClientRectOf(dialog->GetDlgItem(int(id)), dialog->m_hWnd);
        EXPECT_NEAR(columnOffset + dialog->GetCompactWidth() / 2, (place.left + place.right) / 2, 1) << id;
    }

    long progress[2] = {1, 2};
    Notice(*dialog, TLV_MSG_REQUEST_PROGRESS, 0, reinterpret_cast<TlvWord>(progress), kTlvRenderReplyTag);
    ASSERT_EQ(50, BarPosition(*dialog));
    EXPECT_EQ(0ul, Notice(*dialog, TLV_MSG_UPLOAD_END, 0));
    EXPECT_FALSE(dialog->IsWide());
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(0, BarPosition(*dialog));
    EXPECT_EQ(dialog->GetCompactWidth(), ClientWidth(*dialog));
    for (UINT id : {6504u, 6501u, 6506u, 6502u, UINT(IDCANCEL)}) {
        const RECT place = ClientRectOf(dialog->GetDlgItem(int(id)), dialog->m_hWnd);
        EXPECT_NEAR(dialog->GetCompactWidth() / 2, (place.left + place.right) / 2, 1) << id;
    }

    // A finished begin lays out compact and leaves the window hidden.
    Notice(*dialog, TLV_MSG_UPLOAD_BEGIN, 0);
    dialog->ShowWindow(SW_HIDE);
    Notice(*dialog, TLV_MSG_UPLOAD_BEGIN, 4);
    EXPECT_FALSE(dialog->IsWide());
    EXPECT_FALSE(dialog->IsWindowVisible());
}

TEST_F(ProgressWindow, RenderProgressMovesTheBar)
{
    auto dialog = Make();
    const struct {
        long done, total;
        int position;
    } cases[] = {{1, 4, 25}, {3, 3, 100}, {0, 7, 0}, {0, 0, 100}, {5, 0, 100}, {2, 3, 66}};
    for (const auto& c : cases) {
        long progress[2] = {c.done, c.total};
        EXPECT_EQ(0ul, Notice(*dialog, TLV_MSG_REQUEST_PROGRESS, 0, reinterpret_cast<TlvWord>(progress),
                              kTlvRenderReplyTag));
        EXPECT_EQ(c.position, BarPosition(*dialog)) << c.done << "/" << c.total;
    }
    // Progress of another request, or without words, changes nothing.
    long other[2] = {1, 4};
    EXPECT_NE(0ul, Notice(*dialog, TLV_MSG_REQUEST_PROGRESS, 0, reinterpret_cast<TlvWord>(other), 0x20030002));
    EXPECT_NE(0ul, Notice(*dialog, TLV_MSG_REQUEST_PROGRESS, 0, 0, kTlvRenderReplyTag));
    EXPECT_EQ(66, BarPosition(*dialog));
}

TEST_F(ProgressWindow, ItemNoticesSetThePaintedItem)
{
    auto dialog = Make();
    CTlvUploadItem item;
    EXPECT_EQ(0ul, Notice(*dialog, TLV_MSG_UPLOAD_ITEM_BEGIN, 0, reinterpret_cast<TlvWord>(&item)));
    EXPECT_EQ(&item, dialog->GetPainter().GetItem());
    Notice(*dialog, TLV_MSG_UPLOAD_BEGIN, 0);
    dialog->UpdateWindow(); // paints the frame of an item without a picture
    EXPECT_EQ(0ul, Notice(*dialog, TLV_MSG_UPLOAD_ITEM_END, 0));
    EXPECT_EQ(nullptr, dialog->GetPainter().GetItem());
    Notice(*dialog, TLV_MSG_UPLOAD_ITEM_BEGIN, 0, reinterpret_cast<TlvWord>(&item));
    Notice(*dialog, TLV_MSG_UPLOAD_END, 0);
    EXPECT_EQ(nullptr, dialog->GetPainter().GetItem());
}

TEST_F(ProgressWindow, UnknownNoticesChangeNothing)
{
    auto dialog = Make();
    SetWindowTextA(dialog->GetDlgItem(6502), "kept");
    for (unsigned long code : {0x20F00003ul, 0x20F00006ul, 0x20F0000Aul, 0x10000048ul, 0ul}) {
        EXPECT_NE(0ul, Notice(*dialog, code, 0)) << std::hex << code;
        EXPECT_FALSE(dialog->IsWindowVisible()) << std::hex << code;
    }
    EXPECT_EQ("kept", TextOf(dialog->GetDlgItem(6502)));
}

TEST_F(ProgressWindow, ProgressTextsReplaceTheUpperAndLowerLines)
{
    auto dialog = Make();
    SetWindowTextA(dialog->GetDlgItem(6506), "middle");
    dialog->SetProgressText("Preparing harbour.jpg", nullptr);
    EXPECT_EQ("Preparing harbour.jpg", TextOf(dialog->GetDlgItem(6501)));
    EXPECT_EQ("", TextOf(dialog->GetDlgItem(6502)));
    dialog->SetProgressText(nullptr, "Looking for the album...");
    EXPECT_EQ("Preparing harbour.jpg", TextOf(dialog->GetDlgItem(6501)));
    EXPECT_EQ("Looking for the album...", TextOf(dialog->GetDlgItem(6502)));
    EXPECT_EQ("middle", TextOf(dialog->GetDlgItem(6506)));
}

TEST_F(ProgressWindow, ThePlacementIsSavedAndRestored)
{
    RECT defaultPlace{};
    {
        auto dialog = Make();
        dialog->GetWindowRect(&defaultPlace);
        dialog->MoveWindow(defaultPlace.left + 123, defaultPlace.top + 77, 400, 250);
    }
    StoredValue stored;
    ASSERT_TRUE(LoadValue(HKEY_CURRENT_USER, kSettingsKey, kPlacementValue, stored));
    EXPECT_EQ(DWORD(REG_BINARY), stored.type);
    const std::vector<unsigned char> saved = stored.data;
    ASSERT_EQ(sizeof(WINDOWPLACEMENT), saved.size());
    {
        auto dialog = Make();
        RECT place{};
        dialog->GetWindowRect(&place);
        EXPECT_EQ(defaultPlace.left + 123, place.left);
        EXPECT_EQ(defaultPlace.top + 77, place.top);
        EXPECT_EQ(250, place.bottom - place.top);
        EXPECT_FALSE(dialog->IsWindowVisible());
    }
    // A value of another size is ignored: the window opens at its default place.
    for (std::size_t size : {std::size_t(0), sizeof(WINDOWPLACEMENT) - 4, sizeof(WINDOWPLACEMENT) + 4}) {
        std::vector<unsigned char> value(saved);
        value.resize(size, 0);
        ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kSettingsKey, kPlacementValue, REG_BINARY, value.data(),
                               DWORD(value.size())));
        std::unique_ptr<CTlvProgressDlg> dialog(new CTlvProgressDlg(&language));
        ASSERT_TRUE(dialog->Create());
        RECT place{};
        dialog->GetWindowRect(&place);
        EXPECT_EQ(defaultPlace.left, place.left) << size;
        EXPECT_EQ(defaultPlace.top, place.top) << size;
        dialog.reset();
    }
}

TEST_F(ProgressWindow, CancelAbortsTheTask)
{
    auto dialog = Make();
    Notice(*dialog, TLV_MSG_UPLOAD_LOGGED_IN, 4); // shows the button
    Notice(*dialog, TLV_MSG_UPLOAD_BEGIN, 0);     // shows the window
    HWND button = dialog->GetDlgItem(IDCANCEL);
    ASSERT_TRUE(IsWindowVisible(button));
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(1, task.aborts);
    EXPECT_TRUE(dialog->IsWindowVisible()); // the task decides what the window does next
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(1, task.aborts);
    EXPECT_TRUE(dialog->IsWindowVisible());
}

} // namespace
