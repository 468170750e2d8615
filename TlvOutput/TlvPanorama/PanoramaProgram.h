// Starts the outside panorama program, found through the machine-wide
// registry, with a command line; the program is not waited for.
#pragma once

#include <string>

// 1 when started; 0x1008 when the key or the value is missing or the start
// fails; 0x1101 when the value cannot be read as a text after its size was.
unsigned long LaunchPanoramaProgram(const std::string& commandLine);
