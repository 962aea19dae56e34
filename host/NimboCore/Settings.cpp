#include "NimboCore/Settings.h"

Settings& Settings::Current() {
  static Settings settings;
  return settings;
}

// A light grey-blue below fading into a deeper slate blue above.
Settings::Settings() : backgroundColor1(226, 231, 240, 255), backgroundColor2(92, 112, 150, 255) {}
