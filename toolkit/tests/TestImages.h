// Small 24-bit pictures for the toolkit's tests: one colour, in memory, or
// saved as a JPEG file.
#pragma once

#include "TlHostPicture.h"

#include <memory>
#include <string>

struct TestManagerRelease {
    void operator()(IKelvraManager* manager) const { manager->Release(); }
};
using TestManagerPtr = std::unique_ptr<IKelvraManager, TestManagerRelease>;

TestManagerPtr MakeTestManager();
// An RGB image of `width` x `height`, every pixel (red, green, blue).
TlImagePtr MakeSolidImage(IKelvraManager* manager, long width, long height, unsigned char red,
                          unsigned char green, unsigned char blue);
// True when such a picture was saved as a JPEG at `path`.
bool WriteSolidJpeg(const std::string& path, long width, long height);
