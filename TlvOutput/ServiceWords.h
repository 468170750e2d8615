// The nine words of one message, as the output module passes them on.
#pragma once

#include "host/api/TlvHostApi.h"

#include <array>

using ServiceWords = std::array<TlvWord, 9>;
