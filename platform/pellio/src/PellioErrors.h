// Error helpers shared by the loader library's modules.
#pragma once

#include "pellio/PellioFormats.h"
#include "pellio/PellioGuard.h"

#include <new>

#define PELLIO_ERROR(tag, code) KELVRA_ERROR(nullptr, (tag), (code))
// The same, followed in the chain by a text that says what is wrong, where
// the code alone would leave a user guessing.
#define PELLIO_ERROR_TEXT(tag, code, text) IKelvraError::Add(PELLIO_ERROR((tag), (code)), (tag), __LINE__, (text))

// Makes an `Object` for a creator that hands it out as `Interface`;
// *out is set only on success.
template <class Object, class Interface>
IKelvraError* PellioCreate(KelvraTag tag, Interface** out)
{
    if (!out)
        return PELLIO_ERROR(tag, kKelvraMissingObject);
    Interface* created = new (std::nothrow) Object;
    if (!created)
        return PELLIO_ERROR(tag, kKelvraOutOfMemory);
    *out = created;
    return nullptr;
}

// A caller's record: present, and as large as we know it by its own size word.
template <class Record>
IKelvraError* PellioCheckRecord(KelvraTag tag, const Record* record)
{
    if (!record)
        return PELLIO_ERROR(tag, kKelvraMissingObject);
    return record->size < sizeof(Record) ? PELLIO_ERROR(tag, kKelvraBadArgument) : nullptr;
}
