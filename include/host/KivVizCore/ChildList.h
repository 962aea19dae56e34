// A group's children as Node::Children hands them out: (id, node) pairs in
// ascending id order, read from one contiguous list that the group keeps.
//
// Walking it fetches the children a few steps ahead into the cache: a big
// group's children lie all over memory, and every frame and pick visits each
// of them, so waiting for each one in turn would cost more than drawing it.
// The list is valid until the group's children change.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_CHILDLIST_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_CHILDLIST_H

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT ChildList {
 public:
  using value_type = std::pair<std::uint64_t, GeoNode*>;

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = ChildList::value_type;
    using difference_type = std::ptrdiff_t;
    using pointer = const value_type*;
    using reference = const value_type&;

    Iterator() = default;
    Iterator(const value_type* position, const value_type* last) : at(position), end(last) {}

    reference operator*() const { return *at; }
    pointer operator->() const { return at; }
    Iterator& operator++() {
      ++at;
      if (end - at > kItemAhead) FetchAhead(at, end);
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return at == other.at; }

   private:
    const value_type* at = nullptr;
    const value_type* end = nullptr;
  };

  ChildList() = default;
  ChildList(const value_type* entries, std::size_t size) : first(entries), count(size) {}

  Iterator begin() const {
    if (count > kItemAhead) FetchAhead(first, first + count);
    return Iterator(first, first + count);
  }
  Iterator end() const { return Iterator(first + count, first + count); }
  std::size_t size() const { return count; }
  bool empty() const { return count == 0; }

 private:
  // How far ahead of the walk each step fetches, each reading only what an
  // earlier step fetched: the node, then its attributes and item list, then
  // its first item.
  static constexpr std::ptrdiff_t kNodeAhead = 8;
  static constexpr std::ptrdiff_t kContentAhead = 5;
  static constexpr std::ptrdiff_t kItemAhead = 2;
  static void FetchAhead(const value_type* at, const value_type* end);

  const value_type* first = nullptr;
  std::size_t count = 0;
};

#endif
