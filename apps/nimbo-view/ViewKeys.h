// The keys the view answers, by code, shared by the window and the script
// verb `key`: F fits, P switches the projection, B shows or culls back faces,
// 1 to 4 aim at the front, top, side and iso views, Escape clears the
// selection. S (screenshot) and Q (quit) are the window's to carry out.
#ifndef NIMBO_APPS_NIMBO_VIEW_VIEWKEYS_H
#define NIMBO_APPS_NIMBO_VIEW_VIEWKEYS_H

namespace nimboview {

class Interaction;
class ViewHost;

class ViewKeys {
 public:
  enum class Effect { None, Changed, Screenshot, Quit };

  static constexpr int Escape = 27;

  // The key list for --help.
  static const char* Help();
  // Every key first moves the aperture to the pointer, as the controller's
  // key record does; then the key's action, if it has one.
  static Effect Press(int code, int x, int y, ViewHost& host, Interaction& interaction);
};

}  // namespace nimboview

#endif
