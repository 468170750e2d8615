// The host's record of an item, as the item service hands it out.
#pragma once

#include <string>

class CTlvItemData {
public:
    std::string m_name; // the item's name, shown in progress and status lines
};
