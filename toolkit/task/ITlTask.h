// An upload task as its states, its plug-in and the progress window see it.
// The upload framework implements it; the progress window's Cancel button
// calls Abort.
//
// The order of the virtual operations is fixed (plug-ins call through this
// table): the unnamed hooks hold their slots.
#pragma once

#include "host/api/TlvHostApi.h"

class CAlbumInfo;
class CUserInfo;
class CTlvModuleItem;

class ITlTask {
public:
    // The module type (6 for the handheld plug-in).
    virtual unsigned long GetModuleId() = 0;
    // The current state's Abort.
    virtual void Abort() = 0;
    virtual unsigned long Hook3() = 0; // answers 0
    // The current state's Step with the words of a message.
    virtual unsigned long Step(TlvWord* words) = 0;
    virtual bool IsBusy() = 0;
    // Enters the current state; 0x1008 when there is none.
    virtual unsigned long Run() = 0;
    virtual ~ITlTask() = default;
    virtual unsigned long Hook8() = 0; // answers 0
    virtual void Hook9() = 0;
    // The plug-in's start hook.
    virtual unsigned long InitLibrary() = 0;
    virtual void Hook11() = 0;
    virtual CAlbumInfo* GetAlbumInfo() = 0;
    virtual CUserInfo* GetUserInfo() = 0;
    // The plug-in's item factory; null when memory runs out.
    virtual CTlvModuleItem* CreateItem() = 0;
    virtual unsigned long BuildStates() = 0;
    virtual void DeleteStates() = 0;
    // Either text may be null.
    virtual void SetProgressText(const char* upper, const char* lower) = 0;
    virtual unsigned long Hook18() = 0; // answers 0
    virtual unsigned long SetState(unsigned index) = 0;
    virtual unsigned long Notify(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                 TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) = 0;
};
