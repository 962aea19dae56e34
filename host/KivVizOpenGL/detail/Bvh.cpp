#include "Bvh.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "MedianSplit.h"

namespace KivVizOpenGL::detail {

namespace {

// Bins per split; small parts use one per primitive, since sweeping empty
// bins costs more than it finds.
constexpr int kBinCount = 16;
// Cost of visiting a node relative to testing one primitive.
constexpr float kTraversalCost = 1.0f;

struct BuildPrimitive {
  Aabb bounds;
  Float3 centroid;
  std::uint32_t id;
};

// A range of primitives with the box of their boxes and of their centroids.
struct Part {
  std::size_t begin;
  std::size_t end;
  Aabb bounds;
  Aabb centroids;
};

struct Bin {
  Aabb bounds;
  Aabb centroids;
  std::size_t count = 0;

  void Add(const Bin& other) {
    bounds.Merge(other.bounds);
    centroids.Merge(other.centroids);
    count += other.count;
  }
};

Part Measure(std::span<const BuildPrimitive> primitives, std::size_t begin, std::size_t end) {
  Part part{begin, end, Aabb(), Aabb()};
  for (std::size_t i = begin; i < end; ++i) {
    part.bounds.Merge(primitives[i].bounds);
    part.centroids.Grow(primitives[i].centroid);
  }
  return part;
}

class Builder {
 public:
  Builder(std::vector<BuildPrimitive>& toPlace, std::vector<Bvh::Node>& placed) : primitives(toPlace), nodes(placed) {}

  // Appends the subtree over the part in depth-first order.
  void Build(const Part& part, int depth) {
    const std::size_t nodeIndex = nodes.size();
    nodes.push_back({part.bounds, 0, 0});
    const std::optional<std::pair<Part, Part>> children = Split(part, depth);
    if (!children) {
      nodes[nodeIndex].index = static_cast<std::uint32_t>(part.begin);
      nodes[nodeIndex].count = static_cast<std::uint32_t>(part.end - part.begin);
      return;
    }
    Build(children->first, depth + 1);
    nodes[nodeIndex].index = static_cast<std::uint32_t>(nodes.size());
    Build(children->second, depth + 1);
  }

 private:
  // Partitions the part and returns its halves; nothing for a leaf.
  std::optional<std::pair<Part, Part>> Split(const Part& part, int depth) {
    const std::size_t count = part.end - part.begin;
    if (count <= Bvh::kMinLeafSize) {
      return std::nullopt;
    }
    const int axis = part.centroids.LongestAxis();
    const float extent = part.centroids.Extent()[axis];
    const float area = part.bounds.HalfArea();
    const bool heuristicUsable =
        depth < Bvh::kMaxHeuristicDepth && extent > 0.0f && std::isfinite(extent) && area > 0.0f && std::isfinite(area);
    if (heuristicUsable) {
      if (auto halves = HeuristicSplit(part, axis, area)) {
        return halves;
      }
    }
    if (count <= Bvh::kMaxLeafSize) {
      return std::nullopt;
    }
    return MedianSplit(part, axis);
  }

  // Splits between the bins of centroids along `axis` where the surface-area
  // heuristic is lowest; nothing when a leaf is cheaper (and allowed) or no
  // split leaves primitives on both sides.
  std::optional<std::pair<Part, Part>> HeuristicSplit(const Part& part, int axis, float area) {
    const std::size_t count = part.end - part.begin;
    const int binCount = static_cast<int>(std::min<std::size_t>(kBinCount, count));
    const float low = part.centroids.Min()[axis];
    const float scale = static_cast<float>(binCount) / part.centroids.Extent()[axis];
    // Clamped as a float: centroids apart by denormal amounts make the scale
    // infinite and the product infinite or NaN, which no int can hold.
    const auto binOf = [&](const BuildPrimitive& p) {
      const float position = (p.centroid[axis] - low) * scale;
      if (!(position > 0.0f)) return 0;
      return position >= static_cast<float>(binCount - 1) ? binCount - 1 : static_cast<int>(position);
    };
    std::array<Bin, kBinCount> bins;
    for (std::size_t i = part.begin; i < part.end; ++i) {
      Bin& bin = bins[binOf(primitives[i])];
      bin.bounds.Merge(primitives[i].bounds);
      bin.centroids.Grow(primitives[i].centroid);
      ++bin.count;
    }
    // right[b]: everything in the bins after b.
    std::array<Bin, kBinCount> right;
    for (int bin = binCount - 2; bin >= 0; --bin) {
      right[bin] = right[bin + 1];
      right[bin].Add(bins[bin + 1]);
    }
    Bin left;
    Bin bestLeft;
    int bestBin = -1;
    float bestCost = 0.0f;
    for (int bin = 0; bin < binCount - 1; ++bin) {
      left.Add(bins[bin]);
      if (left.count == 0 || right[bin].count == 0) {
        continue;
      }
      const float cost = left.bounds.HalfArea() * static_cast<float>(left.count) +
                         right[bin].bounds.HalfArea() * static_cast<float>(right[bin].count);
      if (bestBin < 0 || cost < bestCost) {
        bestBin = bin;
        bestCost = cost;
        bestLeft = left;
      }
    }
    if (bestBin < 0 || (count <= Bvh::kMaxLeafSize && static_cast<float>(count) <= kTraversalCost + bestCost / area)) {
      return std::nullopt;
    }
    const auto first = primitives.begin() + static_cast<std::ptrdiff_t>(part.begin);
    const auto last = primitives.begin() + static_cast<std::ptrdiff_t>(part.end);
    const auto middle = std::partition(first, last, [&](const BuildPrimitive& p) { return binOf(p) <= bestBin; });
    const auto split = static_cast<std::size_t>(middle - primitives.begin());
    return std::pair{Part{part.begin, split, bestLeft.bounds, bestLeft.centroids},
                     Part{split, part.end, right[bestBin].bounds, right[bestBin].centroids}};
  }

  std::pair<Part, Part> MedianSplit(const Part& part, int axis) {
    const std::size_t split =
        detail::MedianSplit(primitives, part.begin, part.end, axis, [](const BuildPrimitive& p) { return p.id; });
    return {Measure(primitives, part.begin, split), Measure(primitives, split, part.end)};
  }

  std::vector<BuildPrimitive>& primitives;
  std::vector<Bvh::Node>& nodes;
};

}  // namespace

Bvh::Bvh(std::span<const Aabb> primitiveBounds) {
  std::vector<BuildPrimitive> primitives;
  primitives.reserve(primitiveBounds.size());
  for (std::size_t i = 0; i < primitiveBounds.size(); ++i) {
    const Aabb& bounds = primitiveBounds[i];
    if (bounds.IsFinite()) {
      primitives.push_back({bounds, bounds.Center(), static_cast<std::uint32_t>(i)});
    }
  }
  if (primitives.empty()) {
    return;
  }
  // Leaves average a few primitives: this is about the final size.
  nodes.reserve(primitives.size() / 2 + 1);
  Builder(primitives, nodes).Build(Measure(primitives, 0, primitives.size()), 0);
  nodes.shrink_to_fit();
  order.reserve(primitives.size());
  for (const BuildPrimitive& primitive : primitives) {
    order.push_back(primitive.id);
  }
}

float Bvh::PaddingFor(float tolerance) const {
  const Aabb bounds = Bounds();
  float magnitude = 0.0f;
  for (int axis = 0; axis < 3; ++axis) {
    magnitude = std::max({magnitude, std::abs(bounds.Min()[axis]), std::abs(bounds.Max()[axis])});
  }
  return tolerance + (magnitude + tolerance) * 0x1p-21f;
}

}  // namespace KivVizOpenGL::detail
