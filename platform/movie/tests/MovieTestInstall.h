// For tests of the movie toolkit and of its clients: the registry pointed
// at the toolkit built beside the test program, and sound files to play.
#pragma once

#include "support/RegistrySandbox.h"

#include <string>

// Points the toolkit's registry value at the test program's folder; the
// sandbox puts the old value back. False when the value cannot be written.
bool InstallMovieToolkitForTest(RegistrySandbox& registry);

// A PCM WAV file's bytes: `seconds` of silence at the given format.
std::string WavBytes(int sampleRate, int channels, int bits, double seconds);
