// The baselines without any scene graph: the benchmark scenes drawn and
// selected by plain GL loops in the current context, one colour, translation
// and draw call per node, as the fastest hand-written code would do it.
// Each node's arrays are its own copy of the scene's mesh.
#ifndef NIMBO_BENCH_BAREGL_H
#define NIMBO_BENCH_BAREGL_H

#include <windows.h>
#include <GL/gl.h>

#include <vector>

#include "BenchScene.h"

namespace bench {

class BareGl {
 public:
  // Sets up lights, material, depth test, culling and viewport like the
  // view's frame; buffer objects are made on the first DrawBufferObjects.
  explicit BareGl(const Scene& scene);
  ~BareGl();
  BareGl(const BareGl&) = delete;
  BareGl& operator=(const BareGl&) = delete;

  // One frame (clear, the view's background and blending, draw, glFinish)
  // from client arrays, or from one vertex and one index buffer object per
  // node.
  void DrawClientArrays() const;
  void DrawBufferObjects();
  // Client arrays inside the GL calls a scene-graph traversal makes around
  // each node (see SelectWithNodeCalls); with itemCalls also the calls a
  // scene item makes to leave GL state as it found it.
  void DrawClientArraysWithNodeCalls(bool itemCalls) const;
  // One selection pass through a 4 x 4 pick box at window position (x, y),
  // top-left origin; the number of hit records. With boxTest, a node whose
  // box lies outside the pick volume is not drawn.
  int Select(int x, int y, bool boxTest) const;
  // The same with the box test, but every node still pays the GL calls a
  // scene-graph traversal makes around each node: push and pop of the
  // current attributes, colour, matrix push, multiply and pop, name push
  // and pop. What no culling inside a node can save.
  int SelectWithNodeCalls(int x, int y) const;

 private:
  void LoadCamera() const;
  void BeginFrame() const;
  static void PlaceLights();
  enum class PerNode { Draw, BoxTest, BoxTestInsideNodeCalls };
  int RunSelection(int x, int y, PerNode perNode) const;
  void UploadBuffers();

  const Scene& scene;
  // Every node draws from arrays of its own, as scene-graph nodes do: one
  // array shared by all would stay in cache where theirs cannot.
  std::vector<Mesh> meshes;
  // Per node: vertex buffer (vertices, then normals) and index buffer.
  std::vector<GLuint> buffers;
};

}  // namespace bench

#endif
