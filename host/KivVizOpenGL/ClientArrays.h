// Points GL at an item's vertex (and normal) array with every other client
// array switched off, so that arrays the caller left enabled are never read
// past their end. The caller saves and restores the client array state
// around the draw (ItemStateScope).
#ifndef NIMBO_HOST_KIVVIZOPENGL_CLIENTARRAYS_H
#define NIMBO_HOST_KIVVIZOPENGL_CLIENTARRAYS_H

namespace KivVizOpenGL {

// normals may be null: no normal array.
void UseClientArrays(const float* vertices, const float* normals);

}  // namespace KivVizOpenGL

#endif
