#include "PickWinner.h"

#include <cstdint>

namespace NimboView3dOpenGLSG {
namespace {

constexpr std::uint64_t kPoints = 10000;
constexpr std::uint64_t kCurves = 10001;
constexpr std::uint64_t kSurfaces = 10002;

// The pick's category, or 0 when it has none that is switched on.
std::uint64_t CategoryOf(const Pick& pick, bool pickSurfaces, bool pickCurves, bool pickPoints) {
  if (pick.renderId.Length() < 4) return 0;
  const std::uint64_t id = pick.renderId[3];
  if (pickPoints && id == kPoints) return kPoints;
  if (pickCurves && id == kCurves) return kCurves;
  if (pickSurfaces && id == kSurfaces) return kSurfaces;
  return 0;
}

}  // namespace

int PickWinner::Choose(const std::vector<Pick>& picks, bool pickSurfaces, bool pickCurves, bool pickPoints) {
  int best = -1;
  std::uint64_t bestCategory = 0;
  float bestMin = 0.0f;
  float bestMax = 0.0f;
  for (std::size_t i = 0; i < picks.size(); ++i) {
    const Pick& pick = picks[i];
    const std::uint64_t category = CategoryOf(pick, pickSurfaces, pickCurves, pickPoints);
    if (category == 0) continue;
    const float z1 = pick.zmin;
    const float z2 = pick.zmax;
    bool replaces = best < 0;
    if (!replaces) {
      // Points win over anything not behind them; a lower category wins
      // when it is nearer; the same category only when strictly nearer.
      replaces = (category == kPoints && z2 <= bestMax) ||
                 (category < bestCategory && (z1 < bestMin || (z1 == bestMin && z2 <= bestMax))) ||
                 (category == bestCategory && (z1 < bestMin || (z1 == bestMin && z2 < bestMax)));
    }
    if (replaces) {
      best = static_cast<int>(i);
      bestCategory = category;
      bestMin = z1;
      bestMax = z2;
    }
  }
  return best;
}

}  // namespace NimboView3dOpenGLSG
