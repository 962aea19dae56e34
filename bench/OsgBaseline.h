// The reference scene-graph toolkit on the benchmark scenes, in the current
// context: one transform, geode and geometry per node (vertex and normal
// arrays, one colour, buffer objects), drawn by an embedded viewer with the
// view's camera, lights, material and blending, and picked with its
// line-segment intersector over k-d trees, its fastest way to pick.
#ifndef NIMBO_BENCH_OSGBASELINE_H
#define NIMBO_BENCH_OSGBASELINE_H

#include <osg/Group>
#include <osg/ref_ptr>
#include <osgViewer/Viewer>

#include "BenchScene.h"

namespace bench {

class OsgBaseline {
 public:
  // Builds the scene graph and the viewer; nothing is drawn yet.
  explicit OsgBaseline(const Scene& scene);
  ~OsgBaseline();
  OsgBaseline(const OsgBaseline&) = delete;
  OsgBaseline& operator=(const OsgBaseline&) = delete;

  // One frame of the viewer, then glFinish.
  void Frame();
  // Builds a k-d tree for every geometry, as picking wants.
  void BuildKdTrees();
  // The nearest intersection under window position (x, y), top-left origin;
  // false over empty space.
  bool Pick(int x, int y);

 private:
  osg::ref_ptr<osg::Group> root;
  osg::ref_ptr<osgViewer::Viewer> viewer;
};

}  // namespace bench

#endif
