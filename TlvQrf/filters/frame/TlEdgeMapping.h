// Where a coordinate outside an image of `size` pixels reads from. Edge
// mode m > 0 steps back into the image by whole multiples of m (1 clamps to
// the edge pixel, 2 keeps the coordinate's parity, which a colour mosaic
// needs); -1 mirrors at the edges without repeating the edge pixel; any
// other mode leaves the coordinate as it is. `outside` tells whether the
// coordinate was moved.
#pragma once

enum : int {
    kTlEdgeClamp = 1,
    kTlEdgeKeepParity = 2,
    kTlEdgeMirror = -1,
};

long TlMapEdge(long coordinate, long size, int mode, bool* outside);
