#include "afxwin.h"

bool AfxLoadString(UINT id, std::string& text)
{
    return AfxLoadString(AfxGetResourceHandle(), id, text);
}

bool AfxLoadString(HINSTANCE module, UINT id, std::string& text)
{
    text.clear();
    // A string-table entry holds at most 65535 characters; grow until the
    // text fits with room to spare, so a long entry is never cut.
    for (int size = 256; size <= 65536 * 2; size *= 2) {
        std::string buffer(size, '\0');
        int length = LoadStringA(module, id, &buffer[0], size);
        if (length <= 0)
            return false;
        if (length < size - 1) {
            text.assign(buffer.data(), length);
            return true;
        }
    }
    return false;
}

std::string AfxLoadString(UINT id)
{
    std::string text;
    AfxLoadString(id, text);
    return text;
}
