// The size of a picture file as Windows' own codecs read it.
#pragma once

#include <string>

struct WicPicture {
    bool read = false;
    unsigned width = 0;
    unsigned height = 0;
};

WicPicture ReadWithWic(const std::string& path);
