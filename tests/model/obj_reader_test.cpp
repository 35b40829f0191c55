// The OBJ reader: faces, names, material binding, the progress trace and the
// texts it rejects.

#include "model_text_fixture.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using modeltest::ModelText;
using objl::Vector3;
using Indices = std::vector<std::uint32_t>;

class ObjReader : public ModelText {};

// Three positions, one texture coordinate, one normal.
const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvn 0 0 1\n";
const std::string kTwoMaterials = "newmtl m1\nKd 1 0 0\nnewmtl m2\nKd 0 1 0\n";

void expectSameVertex(const objl::Vertex& a, const objl::Vertex& b)
{
    EXPECT_TRUE(a.position == b.position);
    EXPECT_TRUE(a.normal == b.normal);
    EXPECT_EQ(a.texCoord.x, b.texCoord.x);
    EXPECT_EQ(a.texCoord.y, b.texCoord.y);
}

TEST_F(ObjReader, ShippedModel)
{
    ASSERT_TRUE(loader.loadModel(141, 140));
    ASSERT_EQ(loader.meshes.size(), 1u);
    const objl::Mesh& mesh = loader.meshes[0];
    EXPECT_EQ(mesh.name, "Plane001");

    const Vector3 positions[] = {{-1, 1, 0}, {-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, -1, 0}};
    const float uv[][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {1, 1}, {0, 0}};
    ASSERT_EQ(mesh.vertices.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const objl::Vertex& v = mesh.vertices[i];
        EXPECT_TRUE(v.position == positions[i]) << i;
        EXPECT_EQ(v.texCoord.x, uv[i][0]) << i;
        EXPECT_EQ(v.texCoord.y, uv[i][1]) << i;
        EXPECT_TRUE(v.normal == Vector3(0, 0, 1)) << i;
        EXPECT_TRUE(std::signbit(v.normal.y)) << i;
        expectSameVertex(loader.vertices[i], v);
    }
    EXPECT_EQ(mesh.indices, (Indices{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(loader.indices, mesh.indices);
    EXPECT_EQ(loader.vertices.size(), 6u);

    ASSERT_EQ(loader.materials.size(), 1u);
    EXPECT_EQ(mesh.material.name, "wire_198225087");
    EXPECT_TRUE(mesh.material.diffuse == Vector3(0.7765f, 0.8824f, 0.3412f));
    EXPECT_EQ(mesh.material.specularExponent, 32.0f);
}

TEST_F(ObjReader, ShippedModelTrace)
{
    ASSERT_TRUE(loader.loadModel(141, 140));
    const std::string trace =
        "\r- Plane001\t| vertices > 4\t| texcoords > 4\t| normals > 1\t| triangles > 0";
    EXPECT_EQ(out(), "\n" + trace + "\n" + trace + trace + "\t| material: wire_198225087\n");
}

TEST_F(ObjReader, TraceEveryThousandthLine)
{
    std::string obj = "o A\n";
    for (int i = 0; i < 1500; ++i)
        obj += "v 0 0 0\n";
    ASSERT_FALSE(load(obj));
    EXPECT_EQ(out(), "\n\r- A\t| vertices > 0\t| texcoords > 0\t| normals > 0\t| triangles > 0"
                     "\r- A\t| vertices > 1000\t| texcoords > 0\t| normals > 0\t| triangles > 0\n");
}

TEST_F(ObjReader, LineEndsCrLfReadLikeLf)
{
    const platform::ResourceEntry* shipped = platform::findResource(platform::kTextFile, 141);
    ASSERT_NE(shipped, nullptr);
    const std::string crlf(reinterpret_cast<const char*>(shipped->data), shipped->size);
    std::string lf;
    for (char c : crlf) {
        if (c != '\r')
            lf += c;
    }
    ASSERT_NE(lf, crlf);

    ASSERT_TRUE(load(crlf));
    const objl::ModelLoader first = loader;
    ASSERT_TRUE(load(lf));
    ASSERT_EQ(loader.meshes.size(), first.meshes.size());
    EXPECT_EQ(loader.meshes[0].name, first.meshes[0].name);
    EXPECT_EQ(loader.meshes[0].indices, first.meshes[0].indices);
    ASSERT_EQ(loader.meshes[0].vertices.size(), first.meshes[0].vertices.size());
    for (std::size_t i = 0; i < first.meshes[0].vertices.size(); ++i)
        expectSameVertex(loader.meshes[0].vertices[i], first.meshes[0].vertices[i]);
}

TEST_F(ObjReader, GeneratedNormalsAndNegativeIndices)
{
    for (const char* face : {"f 1 2 3", "f -3 -2 -1", "f 1/1 2/1 3//1"}) {
        ASSERT_TRUE(load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvn 1 1 1\n" + std::string(face)))
            << face;
        ASSERT_EQ(loader.vertices.size(), 3u);
        // crossProduct(p1 - p2, p3 - p2) for every corner, even one that
        // names its own normal.
        const Vector3 n = objl::crossProduct(Vector3(-1, 0, 0), Vector3(-1, 1, 0));
        EXPECT_TRUE(n == Vector3(0, 0, -1));
        for (const objl::Vertex& v : loader.vertices)
            EXPECT_TRUE(v.normal == n) << face;
        EXPECT_TRUE(loader.vertices[0].position == Vector3(0, 0, 0));
        EXPECT_TRUE(loader.vertices[2].position == Vector3(0, 1, 0));
        EXPECT_EQ(loader.vertices[2].texCoord.x, 0.0f);
    }
}

TEST_F(ObjReader, CornerForms)
{
    ASSERT_TRUE(load(kTriangle + "f 1/1/1 2//1  3/1/1 "));  // two blanks: an empty corner is skipped
    ASSERT_EQ(loader.vertices.size(), 3u);
    EXPECT_EQ(loader.vertices[0].texCoord.x, 0.5f);
    EXPECT_EQ(loader.vertices[1].texCoord.x, 0.0f);  // position and normal only
    EXPECT_TRUE(loader.vertices[1].normal == Vector3(0, 0, 1));
    EXPECT_EQ(loader.indices, (Indices{0, 1, 2}));
}

struct MeshExpect {
    std::string name;
    Indices indices;
    std::string material;
};

TEST_F(ObjReader, MeshesNamesAndMaterialBinding)
{
    const std::string q = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0\n";
    struct Case {
        const char* name;
        std::string obj;
        std::vector<MeshExpect> meshes;
        Indices allIndices;
    } cases[] = {
        {"quad fan after a triangle", q + "o A\nf 1 2 3\nf 1 2 3 4",
         {{"A", {0, 1, 2, 3, 4, 6, 4, 5, 6}, ""}}, {0, 1, 2, 3, 4, 6, 4, 5, 6}},
        {"convex pentagon fan", q + "o A\nf 1 2 3 5 4",
         {{"A", {0, 1, 4, 1, 2, 4, 2, 3, 4}, ""}}, {0, 1, 4, 1, 2, 4, 2, 3, 4}},
        {"usemtl before and between faces", q + "o A\nusemtl m1\nf 1 2 3\nusemtl m2\nf 1 3 4",
         {{"A_2", {0, 1, 2}, "m1"}, {"A", {0, 1, 2}, "m2"}}, {0, 1, 2, 3, 4, 5}},
        {"usemtl after the first faces", q + "o A\nf 1 2 3\nusemtl m1\nf 1 3 4",
         {{"A_2", {0, 1, 2}, "m1"}, {"A", {0, 1, 2}, ""}}, {0, 1, 2, 3, 4, 5}},
        {"more usemtl names than meshes", q + "o A\nf 1 2 3\nusemtl m1\nusemtl m2\nusemtl m1",
         {{"A_2", {0, 1, 2}, "m1"}}, {0, 1, 2}},
        {"unknown material name", q + "usemtl nope\no A\nf 1 2 3",
         {{"A", {0, 1, 2}, ""}}, {0, 1, 2}},
        {"faces before the first object line", q + "f 1 2 3\no B\nf 1 3 4",
         {{"B", {0, 1, 2, 3, 4, 5}, ""}}, {0, 1, 2, 3, 4, 5}},
        {"objects and groups close meshes", q + "o A\nf 1 2 3\ng B\nf 1 3 4\no\nf 2 3 4",
         {{"A", {0, 1, 2}, ""}, {"B", {0, 1, 2}, ""}, {"", {0, 1, 2}, ""}}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"a line that only begins with g", q + "group1 body\nf 1 2 3\ngo on\nf 1 3 4",
         {{"unnamed", {0, 1, 2}, ""}, {"on", {0, 1, 2}, ""}}, {0, 1, 2, 3, 4, 5}},
        {"object line without faces renames", q + "o A\no B\nf 1 2 3",
         {{"B", {0, 1, 2}, ""}}, {0, 1, 2}},
        {"two-corner faces make vertices but no mesh", kTriangle + "f 1//1 2//1",
         {}, {}},
    };
    for (const Case& k : cases) {
        ASSERT_TRUE(load("mtllib any.mtl\n" + k.obj, kTwoMaterials)) << k.name;
        ASSERT_EQ(loader.meshes.size(), k.meshes.size()) << k.name;
        for (std::size_t m = 0; m < k.meshes.size(); ++m) {
            EXPECT_EQ(loader.meshes[m].name, k.meshes[m].name) << k.name;
            EXPECT_EQ(loader.meshes[m].indices, k.meshes[m].indices) << k.name;
            EXPECT_EQ(loader.meshes[m].material.name, k.meshes[m].material) << k.name;
        }
        EXPECT_EQ(loader.indices, k.allIndices) << k.name;
    }
}

TEST_F(ObjReader, MaterialsAreReadForEveryMtllibLine)
{
    ASSERT_TRUE(load("mtllib a.mtl\nmtllib b.mtl\n" + kTriangle + "usemtl m2\nf 1 2 3",
                     "newmtl m1\nnewmtl m2\nKd 0 1 0\n"));
    ASSERT_EQ(loader.materials.size(), 4u);
    EXPECT_EQ(loader.materials[2].name, "m1");
    EXPECT_EQ(loader.materials[3].name, "m2");
    EXPECT_TRUE(loader.meshes.at(0).material.diffuse == Vector3(0, 1, 0));

    // A second reading appends to the materials of the first, and binding
    // takes the first material of a name: here one from the first reading.
    loader.materials[1].diffuse = Vector3(5, 5, 5);
    ASSERT_TRUE(load("mtllib a.mtl\n" + kTriangle + "usemtl m2\nf 1 2 3", "newmtl m2\nKd 0 1 0\n"));
    EXPECT_EQ(loader.materials.size(), 5u);
    EXPECT_TRUE(loader.meshes.at(0).material.diffuse == Vector3(5, 5, 5));
}

TEST_F(ObjReader, NothingToLoad)
{
    struct Case {
        const char* name;
        std::string obj;
    } cases[] = {
        {"empty text", ""},
        {"positions but no faces", "o A\nv 1 2 3\nv 4 5 6\nv 7 8 9\n"},
        {"comments and unknown keywords", "# c\ns 1\nl 1 2\n\n"},
        {"a face too short for its normal", "v 0 0 0\nv 1 0 0\nf 1 2\n"},
        {"a face without corners", "f\nf  \n"},
    };
    for (const Case& k : cases) {
        EXPECT_FALSE(load(k.obj)) << k.name;
        EXPECT_TRUE(loader.meshes.empty() && loader.vertices.empty() && loader.indices.empty()) << k.name;
    }
    EXPECT_FALSE(loader.loadModel(9499, 9498));  // no such resource
    EXPECT_TRUE(err().empty()) << err();
}

TEST_F(ObjReader, RejectedTexts)
{
    const std::string p = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    struct Case {
        std::string obj;
        std::string reason;
    } cases[] = {
        {p + "f 0 1 2", "line 4: face index 0: indices start at 1"},
        {p + "f 1 2 4", "line 4: face index 4 points outside the 3 positions read so far"},
        {p + "f 1 2 -4", "line 4: face index -4 points outside the 3 positions"},
        {p + "f 1 2 x", "line 4: face index \"x\" holds no usable number"},
        {p + "f /1 2 3", "line 4: face index \"\" holds no usable number"},
        {p + "f 1 2 99999999999", "line 4: face index \"99999999999\" holds no usable number"},
        {p + "f 1/1 2/1 3/1", "line 4: face index 1 points outside the 0 texture coordinates"},
        {p + "f 1//1 2//1 3//1", "line 4: face index 1 points outside the 0 normals"},
        {p + "f 1/1/1/1 2 3", "line 4: face corner \"1/1/1/1\" has more than three parts"},
        {"v 1 2\r\n", "line 1: \"v\" needs 3 values, found 2"},
        {"vt 1", "line 1: \"vt\" needs 2 values, found 1"},
        {"vn 1 2", "line 1: \"vn\" needs 3 values, found 2"},
        {"vt 1 x", "line 1: \"vt\" value \"x\" is not a usable number"},
        {"v 1  2 3", "line 1: \"v\" value \"\" is not a usable number"},
        {"v 1e39 0 0", "line 1: \"v\" value \"1e39\" is not a usable number"},
        {"v nan 0 0", "line 1: \"v\" value \"nan\" is not a usable number"},
        {"# fine\nmtllib m.mtl", "line 2: its material library 9402 was rejected"},
    };
    for (const Case& k : cases) {
        // A good reading first: a rejected one must not leave its results.
        ASSERT_TRUE(load(kTriangle + "f 1 2 3", ""));
        const std::size_t materials = loader.materials.size();
        EXPECT_FALSE(load("o A\n" + k.obj, "newmtl a\nNs 1\nnewmtl b\nNs z\n")) << k.obj;
        EXPECT_TRUE(loader.meshes.empty() && loader.vertices.empty() && loader.indices.empty()) << k.obj;
        EXPECT_EQ(loader.materials.size(), materials) << k.obj;
    }
    // Every reason, with its line (counted from the "o A" line), on stderr.
    const std::string errors = err();
    for (const Case& k : cases) {
        std::string reason = k.reason;
        const std::size_t n = std::stoul(reason.substr(5)) + 1;
        reason = "OBJ text 9401, line " + std::to_string(n) + reason.substr(reason.find(':'));
        EXPECT_NE(errors.find(reason), std::string::npos) << reason << "\nin:\n" << errors;
    }
    EXPECT_NE(errors.find("MTL text 9402, line 4: \"Ns\" value \"z\" is not a usable number"),
              std::string::npos);
}

}  // namespace
