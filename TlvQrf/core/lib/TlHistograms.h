// Copies the counts of a histogram filter into the elements of a curve group.
#pragma once

class CTlLutGroup;
class CKelvraFilterHistogram;

// One-channel data: channel 0 into element 0. Data of n channels: channels
// 1 to n into elements 1 to n (channel 0, all planes together, is not used).
// Each element takes 256 counts unless it is a point curve; an element the
// group does not have, or a channel the filter cannot give, is skipped. 0.
unsigned long CopyHistograms(CTlLutGroup* group, CKelvraFilterHistogram* histogram);
