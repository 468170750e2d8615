// Orientation bookkeeping: Mirrored and Rotation always say how the step's
// coordinates lie relative to the unrotated source, so every turn of the
// step goes through here.
#include "settings/geometry/TlGeometryState.h"

namespace {

int NormalisedAngle(int angle)
{
    while (angle < 0)
        angle = (angle + 360) % 360;
    return angle % 360;
}

} // namespace

void CTlGeometryState::ResetOrientation()
{
    SetRotation(0, 0, true);
}

void CTlGeometryState::SetRotation(int mirrored, int angle, bool relative)
{
    angle = NormalisedAngle(angle);
    if (!relative) {
        Mirrored = mirrored;
        Rotation = angle;
        return;
    }
    if ((mirrored != 0) == (Mirrored != 0)) {
        const int d = (angle - Rotation + 360) % 360;
        if (d == 180) {
            FlipHorizontal();
            FlipVertical();
        } else if (d == 90) {
            RotateClockwise();
        } else if (d == 270) {
            RotateCounterClockwise();
        }
        return;
    }
    const int d = (Rotation + angle) % 360;
    if (d == 180) {
        FlipVertical();
        return;
    }
    FlipHorizontal();
    if (d == 90)
        RotateClockwise();
    else if (d == 270)
        RotateCounterClockwise();
}

int CTlGeometryState::FlipHorizontal()
{
    Mirrored = !Mirrored;
    Rotation = (720 - Rotation) % 360;
    return m_step != nullptr ? m_step->FlipHorizontal() : 1;
}

int CTlGeometryState::FlipVertical()
{
    Mirrored = !Mirrored;
    Rotation = (900 - Rotation) % 360;
    return m_step != nullptr ? m_step->FlipVertical() : 1;
}

int CTlGeometryState::RotateClockwise()
{
    Rotation = (Rotation + 90) % 360;
    return m_step != nullptr ? m_step->RotateClockwise() : 1;
}

int CTlGeometryState::RotateCounterClockwise()
{
    Rotation = (Rotation + 270) % 360;
    return m_step != nullptr ? m_step->RotateCounterClockwise() : 1;
}

void CTlGeometryState::ToOriented(CTlDblRect& rect, const CTlDblRect& image) const
{
    const double a = (image.left + image.right) / 2;
    const double b = (image.top + image.bottom) / 2;
    if (Mirrored) {
        if (Rotation == 180) {
            rect.MirrorY(b);
            return;
        }
        rect.MirrorX(a);
        if (Rotation == 90)
            rect.TurnClockwise(b, b);
        else if (Rotation == 270)
            rect.TurnCounterClockwise(a, a);
        return;
    }
    if (Rotation == 90) {
        rect.TurnClockwise(b, b);
    } else if (Rotation == 180) {
        rect.MirrorX(a);
        rect.MirrorY(b);
    } else if (Rotation == 270) {
        rect.TurnCounterClockwise(a, a);
    }
}

void CTlGeometryState::FromOriented(CTlDblRect& rect, const CTlDblRect& image) const
{
    // The image is given in the step's coordinates, so its axes are swapped
    // against the source's.
    const double a = (image.top + image.bottom) / 2;
    const double b = (image.left + image.right) / 2;
    if (Mirrored) {
        if (Rotation == 180) {
            rect.MirrorY(a);
            return;
        }
        rect.MirrorX(b);
        if (Rotation == 90)
            rect.TurnClockwise(a, a);
        else if (Rotation == 270)
            rect.TurnCounterClockwise(b, b);
        return;
    }
    if (Rotation == 90) {
        rect.TurnCounterClockwise(b, b);
    } else if (Rotation == 180) {
        rect.MirrorX(b);
        rect.MirrorY(a);
    } else if (Rotation == 270) {
        rect.TurnClockwise(a, a);
    }
}

int CTlGeometryState::PointToOriented(double point[2], const CTlDblRect& image) const
{
    CTlDblRect r(point[1], point[0], point[1], point[0]);
    ToOriented(r, image);
    point[0] = r.left;
    point[1] = r.top;
    return 0;
}

int CTlGeometryState::PointFromOriented(double point[2], const CTlDblRect& image) const
{
    CTlDblRect r(point[1], point[0], point[1], point[0]);
    FromOriented(r, image);
    point[0] = r.left;
    point[1] = r.top;
    return 0;
}
