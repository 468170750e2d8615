// TlMakeDustCurves <folder>: writes the dust map's tone-curve blocks
// "TlDustCurveBlocks.cpp" into the folder (TlvQrf/filters/dust).
#include "MakeDustCurves/TlDustCurveMaker.h"
#include "common/TlToolFile.h"

int main(int argc, char** argv)
{
    return TlRunFolderTool(argc, argv, "TlMakeDustCurves", "the curve blocks were not written", TlWriteDustCurveBlocks);
}
