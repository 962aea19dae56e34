#include "KivVizCore/RGBAColor.h"

#include <ostream>

std::ostream& operator<<(std::ostream& out, const RGBAColor& color) {
  return out << '(' << int{color.red} << ',' << int{color.green} << ',' << int{color.blue} << ',' << int{color.alpha}
             << ')';
}
