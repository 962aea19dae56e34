// The plug-in's 3D view: keeps the scene graph that the host builds node by
// node, draws it with fixed-function OpenGL into the host's window, picks the
// node and point under a window position, forwards highlight and selection
// to its highlight strategy, and hands out its view objects, markups and
// text manager.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_VIEW3DOPENGLSG_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_VIEW3DOPENGLSG_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizCore/Pick.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/IViewObjectProvider.h"

class GeometryItemFactoryGL;
class TextManagerGL;

namespace NimboView3dOpenGLSG {

class View3dOpenGlSG : public AView3D,
                       public IViewObjectProvider,
                       public ITextManagerProvider,
                       public IRenderingOptionsListener {
 public:
  View3dOpenGlSG();
  ~View3dOpenGlSG() override;

  // Window and context.
  void Initialize(HWND window) override;
  void Uninitialize() override;
  void SetWindowSize(int width, int height) override;
  bool IsAvailable() const override;
  bool IsBusy() const override;
  void SetBackFacesVisible(bool visible) override;
  std::string GetStatistics() override;
  void ReservedOperation1() override;
  void ReservedOperation2() override;

  // Frames.
  void Render() override;
  void RenderNode(GeoNode* node, bool pushNames, bool inTransparent) override;
  void DrawRootChildren(bool pushNames);
  void SetUpProjection();

  // Scene building.
  void BeginScene(GeoNode* node) override;
  void EndScene() override;
  bool OpenNode(const std::uint64_t& id) override;
  void CloseNode() override;
  void CloseAllNodes() override;
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override;
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override;
  Node* GetRootNode() override;
  void SetNodeAttribute(Attribute* attribute) override;
  AGeometryItemFactory* GetGeometryItemFactory() override;
  void AddGeometry(AGeometryItem* item) override;
  bool ApplyNodeAction(const RenderId& path) override;
  void ClearAll() override;

  // Picking.
  bool PickPoint(int x, int y, float& px, float& py, float& pz) override;
  bool PickVisualAt(const int& x, const int& y, RenderId& picked) override;
  void GetPointAtPixel(int x, int y, float& px, float& py, float& pz) override;

  // Highlight and selection by path.
  void Highlight(const std::vector<RenderId>& paths) override;
  bool Highlight(const RenderId& path) override;
  void UnHighlight() override;
  bool UnHighlight(const RenderId& path) override;
  void Select(const RenderId& path) override;
  void UnSelect() override;
  bool UnSelect(const RenderId& path) override;
  // Highlight and selection by entity.
  void Highlight(const EntityId& entity) override;
  void UnHighlight(const EntityId& entity) override;
  void Select(const EntityId& entity) override;
  void UnSelect(const EntityId& entity) override;

  // View objects, markups, text, rendering options.
  ViewObjectManager* GetViewObjectManager() override;
  void AddMarkups(const std::vector<std::vector<double>>& coordinateLists) override;
  void RemoveMarkups() override;
  void DrawArrow(const std::vector<double>& start, const std::vector<double>& direction) override;
  ATextManager* GetTextManager() override;
  void RenderingOptionsNotify(IRenderingOptions* options) override;

 private:
  void SetUpGLState();
  void SetUpLights();
  void SetUpCamera();
  void DrawBackground();
  void DrawScene();
  bool ApplyNodeTransform(GeoNode* node);
  void DrawViewObjects();

  void DetachSubtree(Node* parent, GeoNode* node);
  void ReleaseNode(Node* parent, GeoNode* node);

  // Builds the entity's path and hands it on.
  template <typename Forward>
  void ForwardEntity(const EntityId& entity, Forward&& forward);

  // The path of the winning pick at (x, y); false when nothing wins.
  bool PickWinnerAt(int x, int y, RenderId& path);
  int RunSelectionPass(int x, int y, std::uint32_t* buffer);
  void ParseHits(int count, const std::uint32_t* buffer, std::vector<Pick>& picks) const;
  int ChooseWinner(const std::vector<Pick>& picks) const;

  static void CreateFontLists(HWND window);
  static void DeleteFontLists();
  void SetUpPixelFormat(HWND window);

  bool sceneReady;
  bool transparencyFound;
  std::int32_t renderPass;
  ViewObjectManager* viewObjectManager = nullptr;
  GeometryItemFactoryGL* geometryItemFactory = nullptr;
  TextManagerGL* textManager = nullptr;
};

}  // namespace NimboView3dOpenGLSG

#endif
