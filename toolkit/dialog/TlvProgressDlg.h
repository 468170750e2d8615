// The upload progress window: three text lines, a progress bar, a Cancel
// button and the thumbnail of the item in work, driven by the upload task's
// notices. Made modeless from dialog resource 6001 of the module; its place
// on the screen is kept in the module's last-used settings.
#pragma once

#include "dialog/TlDialog.h"
#include "dialog/TlThumbnailItemPainter.h"
#include "module/TlvModuleInterface.h"
#include "serialize/TlLastSettingsKey.h"

#include <string>

class CTlvLangResource;
class ITlTask;

class CTlvProgressDlg : public CTlDialog {
public:
    enum : UINT {
        kDialogId = 6001,
        kHiddenStatic = 6503,
        kProgressBar = 6504,
        kUpperLine = 6501,
        kMiddleLine = 6506,
        kLowerLine = 6502,
        kCancelButton = IDCANCEL,
        kCancelText = 31278,
        kLoggedInText = 31234,
        kPlacementValueText = 31207,
    };
    static constexpr int kBarWidth = 300;
    static constexpr int kMinimumButtonText = 50;
    static constexpr int kButtonPadding = 12;

    // Texts come from `language` (may be null), else the module's own table.
    explicit CTlvProgressDlg(const CTlvLangResource* language = nullptr) noexcept;
    // Saves the placement and destroys the window while the object is whole.
    ~CTlvProgressDlg() override;

    // Makes the hidden window from the current resource module's dialog 6001,
    // without parent; false when it cannot be made.
    BOOL Create();
    // Keeps the entry object, the host and the task for the notices and the
    // Cancel button; 0.
    unsigned long Initialize(ITlvMessage* entry, ITlvHost* host, ITlTask* task);

    // A notice of the upload task: 0 when it is one of the window's, 1
    // (nothing done) for any other.
    unsigned long Notify(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                         TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag);
    // Replaces the upper and the lower line where not null, each repainted at once.
    void SetProgressText(const char* upper, const char* lower);
    // Bar to 0, no painted item, hidden, compact: the window between runs.
    void Reset();

    // Client widths of the two layouts.
    int GetCompactWidth() const;
    int GetWideWidth() const;
    bool IsWide() const { return m_wide; }
    const CTlThumbnailItemPainter& GetPainter() const { return m_painter; }

protected:
    BOOL OnInitDialog() override;
    // Enter does not close the window.
    void OnOK() override {}
    // The Cancel button (and Escape) aborts the task.
    void OnCancel() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void MakeControls();
    HWND MakeControl(const char* windowClass, const char* text, DWORD style, UINT id);
    void Layout(bool wide);
    void PlaceCentred(HWND control, int columnLeft, int top, int width, int height);
    void ShowButtonAndWindow(TlvWord subValue);
    void SetBar(int position);
    void SetPaintedItem(CTlvModuleItem* item);
    void Paint();
    void RestorePlacement();
    void SavePlacement();
    int LineHeight() const;

    const CTlvLangResource* m_language;
    CTlLastSettingsKey m_settings;
    ITlvMessage* m_entry = nullptr;
    ITlvHost* m_host = nullptr;
    ITlTask* m_task = nullptr;
    CTlThumbnailItemPainter m_painter;
    std::string m_cancelText;
    int m_buttonWidth = 0;
    bool m_wide = false;
};
