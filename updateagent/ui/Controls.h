// The control wrappers by kind (see ClassifyControl).
#pragma once

#include "ui/TControl.h"

class TStaticCtrl : public TControl {
public:
    HBRUSH OnCtlColor(TMsgContext& context) override;
};

class TEditCtrl : public TControl {};

class TBtnCtrl : public TControl {
public:
    bool Create(HWND parent, DWORD style, const RECT& rect) override;
};

class TCheckBoxCtrl : public TControl {};
class TSliderCtrl : public TControl {};
class TComboBoxCtrl : public TControl {};

class TProgCtrl : public TControl {
public:
    void SetPos(int value);
    void Step(int delta) { SetPos(m_position + delta); }
    void SetMinimum(int value);
    void SetMaximum(int value);
    int Position() const { return m_position; }

private:
    void SendRange();

    int m_minimum = 0;
    int m_maximum = 0;
    int m_position = 0;
};

// Up-down arrows that keep their own value between a minimum and a maximum.
class TArrowsCtrl : public TControl {
public:
    bool Attach(HWND window, bool owns) override;
    void SetStep(int step) { m_step = step; }
    void SetRange(int minimum, int maximum)
    {
        m_minimum = minimum;
        m_maximum = maximum;
    }
    int Value() const { return m_value; }

private:
    static LRESULT OnDeltaPos(TMsgContext& context, void* self);

    int m_step = 1;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
};

class TOwnerDrawCtrl : public TBtnCtrl {
public:
    using DrawCallback = LRESULT (*)(TOwnerDrawCtrl* control, void* user);

    bool Create(HWND parent, DWORD style, const RECT& rect) override;
    bool Attach(HWND window, bool owns) override;
    void SetDrawCallback(DrawCallback callback, void* user)
    {
        m_callback = callback;
        m_user = user;
    }
    const DRAWITEMSTRUCT* DrawItem() const { return m_drawItem; }
    virtual LRESULT Draw();

private:
    static LRESULT OnDrawItem(TMsgContext& context, void* self);
    static LRESULT OnEraseBackground(TMsgContext& context, void* self);

    const DRAWITEMSTRUCT* m_drawItem = nullptr;
    DrawCallback m_callback = nullptr;
    void* m_user = nullptr;
};

// A new wrapper for a control kind; null for kinds that get none.
TControl* CreateControlForKind(int kind);
