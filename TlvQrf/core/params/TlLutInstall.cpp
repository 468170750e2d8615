#include "params/TlLutInstall.h"

#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterLut.h"

IKelvraError* InstallLutTables(const STlLutTargets& targets, const STlLutInstall& install)
{
    IKelvraError* result = nullptr;
    if (targets.cml != nullptr) {
        result = targets.cml->SetLUT(targets.cmlOutputSide, true, install.tables, install.inputBits,
                                     install.outputBits, install.channels, install.notify);
        if (result != nullptr)
            return result;
    }
    if (targets.lut != nullptr)
        result = targets.lut->SetLUT(install.tables, install.inputBits, install.outputBits, install.channels,
                                     install.notify);
    return result;
}

bool InstallLutTablesQuietly(const STlLutTargets& targets, const STlLutInstall& install)
{
    IKelvraError* error = InstallLutTables(targets, install);
    IKelvraError::Release(error);
    return error == nullptr;
}
