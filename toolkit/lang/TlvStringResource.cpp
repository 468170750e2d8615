#include "lang/TlvStringResource.h"

#include "common/TlNoThrow.h"

#include "afxwin.h"

CTlvStringResource::CTlvStringResource(const CTlvLangResource* language, UINT id) noexcept
{
    const HINSTANCE library = language ? language->GetHandle() : nullptr;
    m_found = TlAnswerNoThrow([&] {
        return (library && AfxLoadString(library, id, m_text)) || AfxLoadString(id, m_text);
    });
}
