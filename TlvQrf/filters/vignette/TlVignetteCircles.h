// The plane geometry of the vignette model: circles whose centres lie on
// the vertical axis, where each pair of them meets, and the area that a set
// of such discs has in common.
#pragma once

#include <vector>

struct CTlCircle {
    int id = 0;     // the pupils are -1, -2, -3; the level disc its level
    double x = 0.0; // centre
    double y = 0.0;
    double radius = 0.0;
    double angle1 = 0.0; // polar angles about the centre of the two points
    double angle2 = 0.0; // where the circle meets the other of a pair
};

// How two circles lie: the values the area walk tells apart.
enum TlCircleRelation {
    kTlSameCircle = 0,
    kTlCrossing = 4,
    kTlApart = 16,
    kTlFirstInsideSecond = 17,
    kTlSecondInsideFirst = 18,
    kTlTouchingOutside = 32,
    kTlFirstTouchingInside = 33,  // the first circle touches the second from inside
    kTlSecondTouchingInside = 34, // the second touches the first from inside
};

struct CTlCirclePair {
    CTlCircle a;
    CTlCircle b;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0; // the meeting points
    double distance = 0.0;                         // of the centres
    double direction = 0.0;                        // of b's centre seen from a's
    int status = kTlSameCircle;
};

// Fills in where the pair's circles meet (radii taken as their sizes).
void IntersectCircles(CTlCirclePair& pair);

// The area the discs have in common, from the pairs of them that
// IntersectCircles has measured. Every centre lies on the vertical axis.
double TlCommonDiscArea(const std::vector<CTlCircle>& circles, const std::vector<CTlCirclePair>& pairs);
// The same, measuring every pair of `circles` first.
double TlCommonDiscArea(const std::vector<CTlCircle>& circles);
