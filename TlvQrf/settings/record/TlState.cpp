#include "settings/record/TlState.h"

#include <new>

int ITlState::GetSize()
{
    return Save(nullptr, 0);
}

ITlState& ITlState::Assign(ITlState& source)
{
    const int size = source.GetSize();
    if (size <= 0)
        return *this;
    // A failed allocation copies nothing; it is not an error.
    unsigned char* block = new (std::nothrow) unsigned char[size];
    if (block == nullptr)
        return *this;
    source.Save(block, size);
    Load(block, size);
    delete[] block;
    return *this;
}
