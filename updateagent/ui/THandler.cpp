#include "ui/THandler.h"

bool THandlerMap::Add(int key, const THandler& handler)
{
    return m_handlers.emplace(key, handler).second;
}

const THandler* THandlerMap::Find(int key) const
{
    const auto found = m_handlers.find(key);
    return found == m_handlers.end() ? nullptr : &found->second;
}

bool TNotifyMap::Add(int code, int controlId, const THandler& handler)
{
    return m_codes[code].Add(controlId, handler);
}

const THandler* TNotifyMap::Find(int code, int controlId) const
{
    const auto found = m_codes.find(code);
    return found == m_codes.end() ? nullptr : found->second.Find(controlId);
}
