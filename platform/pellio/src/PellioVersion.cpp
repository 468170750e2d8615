// The loader library's version, reported in its information queries.
#include "pellio/PellioVersion.h"

const char* PellioVersionText()
{
    return "1.0";
}
