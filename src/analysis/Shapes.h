// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Neighbours.h"

#include <string>
#include <vector>

namespace taonscope {

/// An ideal shape: its lower-case name and its points, with edges of length 1.
struct IdealShape {
    std::string Name;             ///< "tetrahedron", "pentagonal bipyramid" ...
    std::vector<Position> Points; ///< 2 to 13 points
};

/// The shapes clusters are matched against, by size (see docs/INSTRUMENTS.md for the list).
const std::vector<IdealShape>& IdealShapes();

/// The largest match error that still names a shape: less than half the error between any two shapes.
inline constexpr Extended ShapeTolerance = 0.06L;

/// The shape a set of points comes closest to.
struct ShapeMatch {
    std::string Name = "none"; ///< the ideal shape's name, or "none" when no shape is within ShapeTolerance
    Extended Error = 0; ///< the error of the nearest shape of this size; not a number when there is none
};

/// The largest difference between the sorted pair distances of two point sets of one size, each divided
/// by its mean; not a number when the sizes differ or a set has no positive mean.
Extended ShapeError(const std::vector<Position>& points, const std::vector<Position>& ideal);

/// Matches points against the ideal shapes of their number: the nearest, when its ShapeError is at
/// most ShapeTolerance.
ShapeMatch MatchShape(const std::vector<Position>& points);

} // namespace taonscope
