// The full-resolution development into memory that the development
// benchmarks time: the chain a save builds, run into its image.
#pragma once

class IKelvraManager;
class CTlvParamSet;

// Seconds spent building the chain, and running it.
struct SDevelopTimes {
    double build = 0;
    double run = 0;
};

// Builds the full-resolution chain for 8-bit output and runs it into its
// image; false, after saying why, when either fails.
bool DevelopInMemory(IKelvraManager* manager, CTlvParamSet& params, SDevelopTimes* times = nullptr);
