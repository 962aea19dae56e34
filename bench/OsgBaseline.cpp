#include "OsgBaseline.h"

#include <GL/gl.h>

#include <osg/BlendFunc>
#include <osg/CullFace>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/KdTree>
#include <osg/Light>
#include <osg/LightModel>
#include <osg/LightSource>
#include <osg/Material>
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
  (*colour)[0].set(node.colour[0] / 255.0f, node.colour[1] / 255.0f, node.colour[2] / 255.0f, node.colour[3] / 255.0f);
  geometry->setColorArray(colour, osg::Array::BIND_OVERALL);
  geometry->addPrimitiveSet(
      new osg::DrawElementsUInt(GL_TRIANGLES, static_cast<unsigned>(mesh.indices.size()), mesh.indices.data()));
  return geometry;
}

// The view's lighting, culling and blending on the root, so that both draw
// the same per-vertex and per-fragment work: three positional, attenuated
// lights placed around the eye, a specular material following the colour,
// two-sided lighting, back faces culled, blending on.
void UseTheViewsState(osg::Group& root) {
  osg::StateSet* state = root.getOrCreateStateSet();
  const float attenuation[3] = {1.5f, 3.0f, 2.0f};
  const osg::Vec4 positions[3] = {
      {-2000.0f, 9000.0f, 3600.0f, 1.0f}, {8600.0f, -5000.0f, 0.0f, 1.0f}, {-8100.0f, -3400.0f, 4700.0f, 1.0f}};
  for (int i = 0; i < 3; ++i) {
    osg::ref_ptr<osg::Light> light = new osg::Light(i + 1);
    light->setAmbient(osg::Vec4(0.2f, 0.2f, 0.2f, 1.0f));
    light->setDiffuse(osg::Vec4(0.6f, 0.6f, 0.6f, 1.0f));
    light->setSpecular(osg::Vec4(0.4f, 0.4f, 0.4f, 1.0f));
    light->setConstantAttenuation(attenuation[i]);
    light->setPosition(positions[i]);
    osg::ref_ptr<osg::LightSource> source = new osg::LightSource;
    source->setLight(light);
    source->setReferenceFrame(osg::LightSource::ABSOLUTE_RF);
    source->setLocalStateSetModes(osg::StateAttribute::ON);
    source->setStateSetModes(*state, osg::StateAttribute::ON);
    root.addChild(source);
  }
  osg::ref_ptr<osg::Material> material = new osg::Material;
  material->setColorMode(osg::Material::AMBIENT_AND_DIFFUSE);
  material->setSpecular(osg::Material::FRONT, osg::Vec4(0.8f, 0.8f, 0.8f, 1.0f));
  material->setShininess(osg::Material::FRONT, 44.8f);
  state->setAttributeAndModes(material);
  osg::ref_ptr<osg::LightModel> model = new osg::LightModel;
  model->setTwoSided(true);
  state->setAttributeAndModes(model);
  state->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK));
  state->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
  state->setMode(GL_LIGHTING, osg::StateAttribute::ON);
  state->setMode(GL_RESCALE_NORMAL, osg::StateAttribute::ON);
}

}  // namespace

OsgBaseline::OsgBaseline(const Scene& scene) : root(new osg::Group), viewer(new osgViewer::Viewer) {
  for (const NodePlacement& node : scene.nodes) {
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(MakeGeometry(scene.mesh, node));
    if (scene.translated) {
      osg::ref_ptr<osg::MatrixTransform> transform =
          new osg::MatrixTransform(osg::Matrix::translate(node.x, node.y, 0.0));
      transform->addChild(geode);
      root->addChild(transform);
    } else {
      root->addChild(geode);
    }
  }
  UseTheViewsState(*root);
  viewer->setLightingMode(osg::View::NO_LIGHT);
  viewer->setThreadingModel(osgViewer::ViewerBase::SingleThreaded);
  viewer->setUpViewerAsEmbeddedInWindow(0, 0, kWidth, kHeight);
  viewer->setSceneData(root);
  osg::Camera* camera = viewer->getCamera();
  camera->setClearColor(osg::Vec4(0.5f, 0.5f, 0.5f, 0.5f));
  camera->setProjectionMatrixAsPerspective(kFieldOfViewDegrees, static_cast<double>(kWidth) / kHeight, 1.0, 100.0);
  camera->setViewMatrixAsLookAt(osg::Vec3d(0.0, 0.0, kEyeDistance), osg::Vec3d(), osg::Vec3d(0.0, 1.0, 0.0));
  viewer->realize();
}

OsgBaseline::~OsgBaseline() = default;

void OsgBaseline::Frame() {
  viewer->frame();
  glFinish();
}

void OsgBaseline::BuildKdTrees() {
  osg::ref_ptr<osg::KdTreeBuilder> builder = new osg::KdTreeBuilder;
  root->accept(*builder);
}

bool OsgBaseline::Pick(int x, int y) {
  // The intersector counts window rows from the bottom.
  osg::ref_ptr<osgUtil::LineSegmentIntersector> picker = new osgUtil::LineSegmentIntersector(
      osgUtil::Intersector::WINDOW, static_cast<double>(x), static_cast<double>(kHeight - y));
  picker->setIntersectionLimit(osgUtil::Intersector::LIMIT_NEAREST);
  osgUtil::IntersectionVisitor visitor(picker.get());
  viewer->getCamera()->accept(visitor);
  return picker->containsIntersections();
}

}  // namespace bench
