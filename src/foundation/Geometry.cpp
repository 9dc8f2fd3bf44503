#include "foundation/Geometry.h"

#include <ostream>

namespace quayline {

std::ostream& operator<<(std::ostream& out, const Point& point) {
  return out << "{" << point.x << ", " << point.y << "}";
}

std::ostream& operator<<(std::ostream& out, const Size& size) {
  return out << "{" << size.width << ", " << size.height << "}";
}

std::ostream& operator<<(std::ostream& out, const Rect& rect) {
  return out << "{" << rect.origin << ", " << rect.size << "}";
}

}  // namespace quayline
