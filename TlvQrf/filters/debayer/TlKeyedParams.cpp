#include "filters/debayer/TlKeyedParams.h"

namespace {

const std::int32_t kConstants[6] = {6, 15, 1, 14, 1, 1};
const std::int32_t kDefaultLevel = 3;

} // namespace

CTlKeyedParams::CTlKeyedParams()
{
    SetLevel(kDefaultLevel);
}

void CTlKeyedParams::SetLevel(std::int32_t level)
{
    for (int i = 0; i < 3; ++i)
        m_values[i] = level;
    for (int i = 0; i < 6; ++i)
        m_values[3 + i] = kConstants[i];
}

template <int N>
bool CTlKeyedParams::Select(const Entry (&table)[N], std::int32_t key)
{
    for (const Entry& entry : table) {
        if (entry.key == key) {
            SetLevel(entry.level);
            return false;
        }
    }
    return true;
}

// -1 and -2 stand for two and four times the camera's base sensitivity.
bool CTlKeyedParams::SelectA(std::int32_t key)
{
    static const Entry kTable[] = {{200, 3},  {250, 3},  {280, 4},  {320, 4},  {400, 4},
                                   {500, 4},  {570, 6},  {630, 6},  {800, 6},  {1010, 6},
                                   {1130, 7}, {1270, 7}, {1600, 7}, {-1, 15},  {-2, 30}};
    return Select(kTable, key);
}

bool CTlKeyedParams::SelectB(std::int32_t key)
{
    static const Entry kTable[] = {{125, 3}, {140, 4}, {160, 4}, {200, 4}, {250, 4}, {280, 6}, {320, 6},
                                   {400, 6}, {500, 6}, {570, 7}, {630, 7}, {800, 7}, {-1, 15}, {-2, 30}};
    return Select(kTable, key);
}
