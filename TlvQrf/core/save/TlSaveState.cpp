#include "save/TlSaveState.h"

STlSaveState& SaveState()
{
    static STlSaveState state;
    return state;
}
