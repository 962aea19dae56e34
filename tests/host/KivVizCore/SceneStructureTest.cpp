// The scene as text: one line per node, details, UTF-8 names.
#include "TestAdapter.h"

namespace {

// Scene: root / 2 "other" (moved, hidden) and root / 5 "model" (translucent
// red), both holding the leaf 10002 "surfaces" with two items and filter 3,
// and the view's empty overlays' node 60000.
class SceneStructureTest : public testing::Test {
 protected:
  void SetUp() override {
    Node* model = adapter.GetRootNode()->CreateChildNode(5);
    model->SetName(L"model");
    model->SetAttribute(new AttributeColor(RGBAColor(255, 0, 0, 128)));
    GeoNode* leaf = model->CreateChildGeoNode(10002);
    leaf->SetName(L"surfaces");
    leaf->AddGeometry(new TestItem(1));
    leaf->AddGeometry(new TestItem(2));
    leaf->SetFilterId(3);
    other = adapter.GetRootNode()->CreateChildNode(2);
    other->SetName(L"other");
    double matrix[16];
    AttributeTransform::SetIdentity(matrix);
    matrix[13] = 1.0;
    other->SetAttribute(new AttributeTransform(matrix));
    other->SetAttribute(new AttributeVisibility(false));
    other->AddChild(leaf);
  }
  // The first line of the plain structure.
  std::string FirstLine() {
    std::string text = "stale";
    adapter.GetSceneStructure(text, false);
    return text.substr(0, text.find('\n'));
  }

  TestAdapter adapter;
  Node* other = nullptr;
};

TEST_F(SceneStructureTest, OneLinePerNodeIndentedByDepthWithWhatItCarries) {
  std::string plain = "stale";
  adapter.GetSceneStructure(plain, false);
  EXPECT_EQ(plain,
            "1 \"root\"\n"
            "  2 \"other\"\n"
            "    10002 \"surfaces\"\n"
            "  5 \"model\"\n"
            "    10002 \"surfaces\"\n"
            "  60000 \"ViewObjects\"\n");
  EXPECT_EQ(adapter.Structure(),
            "1 \"root\" group\n"
            "  2 \"other\" group transform hidden\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n"
            "  5 \"model\" group colour=(255,0,0,128) translucent\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n"
            "  60000 \"ViewObjects\" group\n");
  other->SetAttribute(new AttributeTransform());
  EXPECT_NE(adapter.Structure().find("  2 \"other\" group hidden\n"), std::string::npos)
      << "an identity transform is not listed";
}

TEST_F(SceneStructureTest, NamesAreWrittenAsUtf8WithReplacementsForLoneSurrogates) {
  // U+00E9 takes two bytes, U+20AC three, U+1F600 four (a surrogate pair
  // where wchar_t has 16 bits).
  std::wstring name = L"caf\u00e9 \u20ac ";
  name += L"\U0001F600";
  adapter.GetRootNode()->SetName(name);
  EXPECT_EQ(FirstLine(), "1 \"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"");
  name = L"a";
  name += static_cast<wchar_t>(0xD800);
  name += L"b";
  adapter.GetRootNode()->SetName(name);
  EXPECT_EQ(FirstLine(),
            "1 \"a\xef\xbf\xbd"
            "b\"");
}

}  // namespace
