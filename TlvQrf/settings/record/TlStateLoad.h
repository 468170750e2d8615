// The common Load frame: the block is read into a temporary record built
// with its defaults, which is assigned to the target only when the block is
// accepted, so a refused or failed load never leaves a record half-changed.
#pragma once

#include "settings/record/TlStateReader.h"

#include <new>

// readFields(reader, temporary) returns the record's result; 0 refuses.
template <typename Record, typename ReadFields>
int LoadWithoutLengthWord(Record& target, const unsigned char* buffer, int size, ReadFields readFields)
{
    CTlStateReader reader(buffer, size);
    if (!reader.Open(*target.GetID()))
        return 0;
    try {
        Record temporary;
        const int result = readFields(reader, temporary);
        if (result > 0)
            target = temporary;
        return result;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// The same for records whose header carries the length word.
template <typename Record, typename ReadFields>
int LoadRecord(Record& target, const unsigned char* buffer, int size, ReadFields readFields)
{
    return LoadWithoutLengthWord(target, buffer, size, [&](CTlStateReader& reader, Record& temporary) {
        return reader.SkipLength() ? readFields(reader, temporary) : 0;
    });
}
