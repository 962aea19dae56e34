#include "ViewKeys.h"

#include <optional>

#include "Interaction.h"
#include "NimboCore/ACamera.h"
#include "ViewHost.h"
#include "ViewSetup.h"

namespace nimboview {

const char* ViewKeys::Help() {
  return "Keys (codes for the script verb key): F 70 fit, P 80 perspective/orthographic,\n"
         "B 66 back faces shown/culled, 1 49 front, 2 50 top, 3 51 side, 4 52 iso,\n"
         "Escape 27 clear the selection; in the window also S 83 screenshot, Q 81 quit.\n"
         "Other codes only move the aperture to the pointer.\n";
}

ViewKeys::Effect ViewKeys::Press(int code, int x, int y, ViewHost& host, Interaction& interaction) {
  interaction.Key(code, x, y);
  static const char* const kPresets[] = {"front", "top", "side", "iso"};
  if (code >= '1' && code <= '4') {
    const auto angles = ViewSetup::Preset(kPresets[code - '1']);
    host.Aim((*angles)[0], (*angles)[1], std::nullopt);
    return Effect::Changed;
  }
  switch (code) {
    case 'F':
      host.Fit();
      return Effect::Changed;
    case 'P':
      host.View().GetCamera()->SetOrthographic(!host.View().GetCamera()->IsOrthographic());
      return Effect::Changed;
    case 'B':
      host.View().SetBackFacesVisible(!host.View().IsBackFacesVisible());
      return Effect::Changed;
    case Escape:
      interaction.ClearSelection();
      return Effect::Changed;
    case 'S':
      return Effect::Screenshot;
    case 'Q':
      return Effect::Quit;
    default:
      return Effect::None;
  }
}

}  // namespace nimboview
