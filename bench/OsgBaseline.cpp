#include "OsgBaseline.h"

#include <GL/gl.h>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/KdTree>
#include <osg/MatrixTransform>
#include <osgUtil/IntersectionVisitor>
#include <osgUtil/LineSegmentIntersector>

namespace bench {

namespace {

osg::ref_ptr<osg::Geometry> MakeGeometry(const Mesh& mesh, const NodePlacement& node) {
  osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
  geometry->setUseDisplayList(false);
  geometry->setUseVertexBufferObjects(true);
  osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array(mesh.vertices.size() / 3);
  osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array(mesh.normals.size() / 3);
  for (std::size_t i = 0; i < vertices->size(); ++i) {
    (*vertices)[i].set(mesh.vertices[3 * i], mesh.vertices[3 * i + 1], mesh.vertices[3 * i + 2]);
    (*normals)[i].set(mesh.normals[3 * i], mesh.normals[3 * i + 1], mesh.normals[3 * i + 2]);
  }
  geometry->setVertexArray(vertices);
  geometry->setNormalArray(normals, osg::Array::BIND_PER_VERTEX);
  osg::ref_ptr<osg::Vec4Array> colour = new osg::Vec4Array(1);
  (*colour)[0].set(node.colour[0] / 255.0f, node.colour[1] / 255.0f, node.colour[2] / 255.0f,
                   node.colour[3] / 255.0f);
  geometry->setColorArray(colour, osg::Array::BIND_OVERALL);
  geometry->addPrimitiveSet(
      new osg::DrawElementsUInt(GL_TRIANGLES, static_cast<unsigned>(mesh.indices.size()), mesh.indices.data()));
  return geometry;
}

}  // namespace

OsgBaseline::OsgBaseline(const Scene& scene) : root_(new osg::Group), viewer_(new osgViewer::Viewer) {
  for (const NodePlacement& node : scene.nodes) {
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(MakeGeometry(scene.mesh, node));
    if (scene.translated) {
      osg::ref_ptr<osg::MatrixTransform> transform =
          new osg::MatrixTransform(osg::Matrix::translate(node.x, node.y, 0.0));
      transform->addChild(geode);
      root_->addChild(transform);
    } else {
      root_->addChild(geode);
    }
  }
  viewer_->setThreadingModel(osgViewer::ViewerBase::SingleThreaded);
  viewer_->setUpViewerAsEmbeddedInWindow(0, 0, kWidth, kHeight);
  viewer_->setSceneData(root_);
  osg::Camera* camera = viewer_->getCamera();
  camera->setClearColor(osg::Vec4(0.5f, 0.5f, 0.5f, 0.5f));
  camera->setProjectionMatrixAsPerspective(kFieldOfViewDegrees, static_cast<double>(kWidth) / kHeight, 1.0,
                                           100.0);
  camera->setViewMatrixAsLookAt(osg::Vec3d(0.0, 0.0, kEyeDistance), osg::Vec3d(), osg::Vec3d(0.0, 1.0, 0.0));
  viewer_->realize();
}

OsgBaseline::~OsgBaseline() = default;

void OsgBaseline::Frame() {
  viewer_->frame();
  glFinish();
}

void OsgBaseline::BuildKdTrees() {
  osg::ref_ptr<osg::KdTreeBuilder> builder = new osg::KdTreeBuilder;
  root_->accept(*builder);
}

bool OsgBaseline::Pick(int x, int y) {
  // The intersector counts window rows from the bottom.
  osg::ref_ptr<osgUtil::LineSegmentIntersector> picker = new osgUtil::LineSegmentIntersector(
      osgUtil::Intersector::WINDOW, static_cast<double>(x), static_cast<double>(kHeight - y));
  picker->setIntersectionLimit(osgUtil::Intersector::LIMIT_NEAREST);
  osgUtil::IntersectionVisitor visitor(picker.get());
  viewer_->getCamera()->accept(visitor);
  return picker->containsIntersections();
}

}  // namespace bench
