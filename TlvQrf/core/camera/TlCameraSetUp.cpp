// Set-up: validation, the hue split, the class and index, and the matrices
// of the index.
#include "camera/TlCameraSetUp.h"

#include <algorithm>
#include <cstring>

namespace {

void MultiplyRight(double matrix[9], const double by[9])
{
    double result[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            result[3 * r + c] = matrix[3 * r] * by[c] + matrix[3 * r + 1] * by[3 + c] + matrix[3 * r + 2] * by[6 + c];
    std::memcpy(matrix, result, sizeof result);
}

void TakeRow(const TlMatrixRow& row, TlCameraSetUpState* state)
{
    std::memcpy(state->cameraMatrix, row.camera, sizeof row.camera);
    std::memcpy(state->colourMatrix, row.colour, sizeof row.colour);
}

const double* KindMatrix(const TlCameraTables& tables, TlMatrixSet set, std::int32_t kind)
{
    const bool family = kind >= kTlCameraKX7 && kind <= kTlCameraKX7B;
    switch (set) {
    case TlMatrixSet::A:
        return family ? tables.kindA[0] : kind == kTlCameraKX6 ? tables.kindA[1]
                                        : kind == kTlCameraKX5 ? tables.kindA[2] : nullptr;
    case TlMatrixSet::B:
        return family ? tables.kindB[0] : kind == kTlCameraKX6 ? tables.kindB[1]
                                        : kind == kTlCameraKX8A ? tables.kindB[2] : nullptr;
    default: return family ? tables.kindC : nullptr;
    }
}

void LoadFromSetAB(const TlCameraProfileParams& params, const TlCameraTables& tables, TlCameraSetUpState* state)
{
    const bool setA = state->set == TlMatrixSet::A;
    const std::uint32_t base = setA ? 500 : 700;
    const std::uint32_t row = state->tableIndex >= base ? state->tableIndex - base : kTlNoTableIndex;
    const TlHueRecord* hue = setA ? tables.hueA : tables.hueB;
    if (row >= std::uint32_t(kTlSetRows)) {
        std::memset(state->cameraMatrix, 0, sizeof state->cameraMatrix);
        std::memset(state->colourMatrix, 0, sizeof state->colourMatrix);
        state->hue = &hue[0];
        return;
    }
    TakeRow(setA ? tables.setA[row] : tables.setB[row], state);
    state->hue = &hue[row];
    if (const double* kind = KindMatrix(tables, state->set, params.cameraKind))
        MultiplyRight(state->cameraMatrix, kind);
}

// Rows beyond those the halves name take the nearest named row.
void LoadFromSetC(const TlCameraProfileParams& params, const TlCameraTables& tables, TlCameraSetUpState* state)
{
    int half = 1;
    std::uint32_t last = 97;
    if (params.colourMode == 4) {
        half = state->mode4Variant ? 1 : 0;
        last = kTlSetCRows - 1;
    }
    TakeRow(tables.setC[half][std::min(state->tableIndex, last)], state);
    state->hue = nullptr;
    if (const double* kind = KindMatrix(tables, TlMatrixSet::C, params.cameraKind))
        MultiplyRight(state->cameraMatrix, kind);
}

bool Validate(const TlCameraProfileParams& params)
{
    if (params.tone != kTlCustomTone)
        return true;
    const auto bitsOk = [](std::int32_t bits) { return bits == 12 || bits == 16; };
    return bitsOk(params.curveInputBits) && bitsOk(params.curveOutputBits) && params.curve != nullptr;
}

} // namespace

bool TlSetUpCamera(const TlCameraProfileParams& params, const TlCameraTables& tables, TlCameraSetUpState* state)
{
    *state = TlCameraSetUpState();
    const std::int32_t kind = params.cameraKind;
    state->namingStyle = (kind == kTlCameraNone || kind == kTlCameraKX8A || kind == kTlCameraKX5) ? 1 : 0;
    state->hueRange = params.hueIndex >= 300 && params.hueIndex <= 499;
    state->hueValue = state->hueRange ? params.hueIndex - 300 : params.hueIndex;
    if (!Validate(params) || !TlChooseTableIndex(params, tables, state))
        return false;
    if (state->fixedProfile) {
        state->setUp = true;
        return true;
    }
    if (state->set == TlMatrixSet::C)
        LoadFromSetC(params, tables, state);
    else
        LoadFromSetAB(params, tables, state);
    state->setUp = true;
    return true;
}
