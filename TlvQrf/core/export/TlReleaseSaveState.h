// Lets go of what a save holds. The chain-only form runs between the stages
// of an export, which keeps its writer and images; the full form ends the
// save and leaves a clean, finished state.
#pragma once

// Chain only: the full-resolution chain and its stage filters (the watched
// filter taken off its watcher first), the colour stages' engines, the
// plug-in filter and the copy of the plug-in entry.
// Full: also ends the progress phase, closes the file stream (output not
// finished is not kept) and releases the saver, the tag copy, the chain's
// destination image, the two work images, the rendition, the filters the
// export made outside its chains and their engines; empties the image list,
// forgets the run handle, sets the step to finished and clears the
// save-prepared flag.
void ReleaseSaveState(bool chainOnly);
