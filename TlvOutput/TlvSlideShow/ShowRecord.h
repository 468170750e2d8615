// One picture or movie of a show, as taken from the host's item.
#pragma once

#include <cstdint>
#include <string>

enum : int {
    kShowItemPicture = 0x1100,
    kShowItemMovie = 0x1200,
};

struct ShowRecord {
    int kind = kShowItemPicture;
    int idLow = 0;
    int idHigh = 0;
    std::string fileName;
    std::int64_t fileSize = 0;
    int width = 0;
    int sizeExtra = 0;
    int height = 0;
    std::string dateText;
    std::string infoText1; // the image's text property 1007
    std::string infoText2; // the image's text property 1010

    std::uint64_t ItemId() const
    {
        return (std::uint64_t(std::uint32_t(idHigh)) << 32) | std::uint32_t(idLow);
    }
};
