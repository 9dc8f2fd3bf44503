#pragma once

#include <algorithm>
#include <cmath>
#include <iosfwd>
#include <limits>

// Points, sizes and rectangles with the semantics of Core Graphics' CGRect functions.
//
// A rectangle may have a negative width or height; every query and operation first standardizes
// it (origin at the minimum corner, non-negative size), as the CGRect functions do. The null
// rectangle (origin at +infinity, zero size) is what an intersection of disjoint rectangles
// gives: it is empty, contains nothing, and is ignored by `unionWith`.
namespace quayline {

struct Point {
  double x = 0;
  double y = 0;

  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;

  bool operator==(const Size&) const = default;
};

struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(Point origin_, Size size_) : origin(origin_), size(size_) {}
  constexpr Rect(double x, double y, double width, double height)
      : origin{x, y}, size{width, height} {}

  static constexpr Rect null() {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    return Rect(infinity, infinity, 0, 0);
  }

  // Member for member: a rectangle and its standardized form are different values that cover
  // the same area.
  bool operator==(const Rect&) const = default;

  bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
  // Null, or without area.
  bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

  Rect standardized() const {
    if (isNull()) {
      return null();
    }
    Rect result = *this;
    if (result.size.width < 0) {
      result.origin.x += result.size.width;
      result.size.width = -result.size.width;
    }
    if (result.size.height < 0) {
      result.origin.y += result.size.height;
      result.size.height = -result.size.height;
    }
    return result;
  }

  double minX() const { return standardized().origin.x; }
  double minY() const { return standardized().origin.y; }
  double maxX() const { return minX() + width(); }
  double maxY() const { return minY() + height(); }
  double midX() const { return minX() + width() / 2; }
  double midY() const { return minY() + height() / 2; }
  double width() const { return std::fabs(size.width); }
  double height() const { return std::fabs(size.height); }
  double area() const { return isEmpty() ? 0 : width() * height(); }

  // Grown (negative insets) or shrunk on every side; shrinking past zero gives the null rectangle.
  Rect insetBy(double dx, double dy) const {
    if (isNull()) {
      return *this;
    }
    Rect result = standardized();
    result.origin.x += dx;
    result.origin.y += dy;
    result.size.width -= 2 * dx;
    result.size.height -= 2 * dy;
    if (result.size.width < 0 || result.size.height < 0) {
      return null();
    }
    return result;
  }

  Rect offsetBy(double dx, double dy) const {
    if (isNull()) {
      return *this;
    }
    Rect result = standardized();
    result.origin.x += dx;
    result.origin.y += dy;
    return result;
  }

  // The common part, or null when the rectangles are apart. Rectangles that only touch share an
  // edge: they intersect, with an empty intersection (test `isEmpty()` for a real overlap).
  Rect intersection(const Rect& other) const {
    if (isNull() || other.isNull()) {
      return null();
    }
    const double left = std::max(minX(), other.minX());
    const double right = std::min(maxX(), other.maxX());
    const double bottom = std::max(minY(), other.minY());
    const double top = std::min(maxY(), other.maxY());
    if (left > right || bottom > top) {
      return null();
    }
    return Rect(left, bottom, right - left, top - bottom);
  }

  bool intersects(const Rect& other) const { return !intersection(other).isNull(); }

  // The smallest rectangle holding both; a null rectangle adds nothing, an empty one still does.
  Rect unionWith(const Rect& other) const {
    if (isNull()) {
      return other.standardized();
    }
    if (other.isNull()) {
      return standardized();
    }
    const double left = std::min(minX(), other.minX());
    const double right = std::max(maxX(), other.maxX());
    const double bottom = std::min(minY(), other.minY());
    const double top = std::max(maxY(), other.maxY());
    return Rect(left, bottom, right - left, top - bottom);
  }
};

// CGRectContainsPoint: the minimum edges are inside, the maximum edges outside.
inline bool contains(const Rect& rect, Point point) {
  return !rect.isEmpty() && point.x >= rect.minX() && point.x < rect.maxX() &&
         point.y >= rect.minY() && point.y < rect.maxY();
}

enum class Flipped : bool { no, yes };

// NSMouseInRect. In an unflipped space (y up) the bottom edge is outside and the top edge inside,
// so a point on the boundary between two stacked rectangles belongs to the lower one; in a flipped
// space (y down) the test is the same as `contains`.
inline bool mouseInRect(Point point, const Rect& rect, Flipped flipped = Flipped::no) {
  if (rect.isEmpty() || !(point.x >= rect.minX() && point.x < rect.maxX())) {
    return false;
  }
  if (flipped == Flipped::yes) {
    return point.y >= rect.minY() && point.y < rect.maxY();
  }
  return point.y > rect.minY() && point.y <= rect.maxY();
}

std::ostream& operator<<(std::ostream& out, const Point& point);
std::ostream& operator<<(std::ostream& out, const Size& size);
std::ostream& operator<<(std::ostream& out, const Rect& rect);

}  // namespace quayline
