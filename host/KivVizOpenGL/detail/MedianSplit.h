// Halves a range of elements by count along one axis of their centroids, for
// the hierarchies and the spatial chunks. Ties in the centroid go by id, so
// the result does not depend on the input order; a NaN centroid sorts last,
// so the comparison stays a strict weak order.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_MEDIANSPLIT_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_MEDIANSPLIT_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace KivVizOpenGL::detail {

// Reorders elements[begin, end) around its middle, which it returns: no
// element before it lies further along axis than any after it. Element has a
// `centroid` indexable by axis; idOf gives its id.
template <typename Element, typename IdOf>
std::size_t MedianSplit(std::vector<Element>& elements, std::size_t begin, std::size_t end, int axis, IdOf idOf) {
  const auto key = [axis](const Element& element) {
    const float coordinate = element.centroid[axis];
    return std::isnan(coordinate) ? std::numeric_limits<float>::infinity() : coordinate;
  };
  const std::size_t middle = begin + (end - begin) / 2;
  std::nth_element(
      elements.begin() + static_cast<std::ptrdiff_t>(begin), elements.begin() + static_cast<std::ptrdiff_t>(middle),
      elements.begin() + static_cast<std::ptrdiff_t>(end), [&key, &idOf](const Element& a, const Element& b) {
        const float ka = key(a);
        const float kb = key(b);
        return ka < kb || (ka == kb && idOf(a) < idOf(b));
      });
  return middle;
}

}  // namespace KivVizOpenGL::detail

#endif
