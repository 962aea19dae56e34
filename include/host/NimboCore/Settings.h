// The host's settings that views read: the two background colours, bottom
// (1) and top (2) of the gradient.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_SETTINGS_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_SETTINGS_H

#include "KivVizCore/RGBAColor.h"
#include "NimboCore/Export.h"

class NIMBOCORE_EXPORT Settings {
 public:
  // The process-wide settings, shared by the host and every plug-in.
  static Settings& Current();

  Settings();

  const RGBAColor& GetBackgroundColor1() const { return backgroundColor1; }
  const RGBAColor& GetBackgroundColor2() const { return backgroundColor2; }
  void SetBackgroundColor1(const RGBAColor& color) { backgroundColor1 = color; }
  void SetBackgroundColor2(const RGBAColor& color) { backgroundColor2 = color; }

 private:
  RGBAColor backgroundColor1;
  RGBAColor backgroundColor2;
};

#endif
