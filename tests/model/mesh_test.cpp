// MeshBuilder and MeshData: the arrays and the 24-float vertex layout built
// from a loaded model, and the end of the process when nothing loads.

#include "model/mesh_data.h"
#include "model_text_fixture.h"
#include "platform/message_box.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using modeltest::kMtlId;
using modeltest::kObjId;

class Mesh : public modeltest::ModelText {
protected:
    void add(const std::string& obj, const std::string& mtl = "")
    {
        platform::addTestResource(platform::kTextFile, kObjId, obj);
        platform::addTestResource(platform::kTextFile, kMtlId, mtl);
    }

    static std::vector<float> vertex(const MeshData& data, int k)
    {
        const float* v = data.getVertexData() + 24 * k;
        return std::vector<float>(v, v + 24);
    }
};

TEST_F(Mesh, ShippedQuad)
{
    const MeshData data(141, 140, 1.0f);
    EXPECT_EQ(data.vertexCount, 6);
    EXPECT_EQ(data.getIndexCount(), 6);
    EXPECT_EQ(data.getStride(), 24);
    EXPECT_EQ(data.getVertexDataSize(), 576);
    EXPECT_EQ(data.getIndexDataSize(), 24);
    EXPECT_EQ(std::vector<std::uint32_t>(data.getIndexData(), data.getIndexData() + 6),
              (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    const int offsets[] = {data.positionOffset, data.texCoordOffset, data.normalOffset,
                           data.tangentOffset,  data.bitangentOffset, data.ambientOffset,
                           data.diffuseOffset,  data.specularOffset};
    EXPECT_EQ(std::vector<int>(std::begin(offsets), std::end(offsets)),
              (std::vector<int>{0, 3, 5, 8, 11, 14, 17, 20}));

    const float positions[6][3] = {{-1, 1, 0}, {-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, -1, 0}};
    const float uv[6][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {1, 1}, {0, 0}};
    for (int k = 0; k < 6; ++k) {
        std::vector<float> expected{positions[k][0], positions[k][1], positions[k][2], uv[k][0], uv[k][1],
                                    0, -0.0f, 1, 1, 0, 0, 0, 1, 0,
                                    0.7765f, 0.8824f, 0.3412f, 0.7765f, 0.8824f, 0.3412f,
                                    0.35f, 0.35f, 0.35f, 32};
        const std::vector<float> got = vertex(data, k);
        EXPECT_EQ(got, expected) << "vertex " << k;
        EXPECT_TRUE(std::signbit(got[6])) << "the normal's y stays -0 in vertex " << k;
    }
}

TEST_F(Mesh, ScaleMovesOnlyPositions)
{
    const MeshData one(141, 140, 1.0f);
    const MeshData two(141, 140, 2.0f);
    EXPECT_EQ(two.builder->scale, 2.0f);
    for (int k = 0; k < 6; ++k) {
        const std::vector<float> a = vertex(one, k);
        const std::vector<float> b = vertex(two, k);
        for (int f = 0; f < 24; ++f)
            EXPECT_EQ(b[f], f < 3 ? 2 * a[f] : a[f]) << "vertex " << k << " float " << f;
    }
}

TEST_F(Mesh, MeshesFollowEachOtherWithTheirOwnMaterials)
{
    add("mtllib x\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 2\n"
        "o A\nusemtl m1\nf 1/1/1 2/2/1 3/3/1\nusemtl m2\nf 3/3/1 1/1/1 2/2/1\n",
        "newmtl m1\nKa 1 0 0\nKd 0 1 0\nKs 0 0 1\nNs 5\nnewmtl m2\nKa 2 2 2\nKd 3 3 3\nKs 4 4 4\nNs 6\n");
    const MeshData data(kObjId, kMtlId, 1.0f);
    ASSERT_EQ(data.vertexCount, 6);
    EXPECT_EQ(std::vector<std::uint32_t>(data.getIndexData(), data.getIndexData() + 6),
              (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    // Vertex 3 is the second mesh's first: the corner "3/3/1" at float 72.
    EXPECT_EQ(vertex(data, 3), (std::vector<float>{0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0,
                                                   2, 2, 2, 3, 3, 3, 4, 4, 4, 6}));
    EXPECT_EQ(vertex(data, 0), (std::vector<float>{0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0,
                                                   1, 0, 0, 0, 1, 0, 0, 0, 1, 5}));
}

TEST_F(Mesh, FacesWithoutTextureCoordinatesHaveNaNTangents)
{
    add("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const MeshData data(kObjId, kMtlId, 1.0f);
    ASSERT_EQ(data.vertexCount, 3);
    for (int k = 0; k < 3; ++k) {
        const std::vector<float> v = vertex(data, k);
        for (int f = 8; f < 14; ++f)
            EXPECT_TRUE(std::isnan(v[f])) << k << " " << f;
        EXPECT_EQ(std::vector<float>(v.begin() + 5, v.begin() + 8), (std::vector<float>{0, 0, -1}));
        for (int f : {0, 1, 2, 14, 17, 20, 23})
            EXPECT_TRUE(std::isfinite(v[f])) << k << " " << f;
    }
}

TEST_F(Mesh, VerticesOfNoTriangleHaveZeroTangents)
{
    add("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
        "f 1/1/1 2/2/1 3/3/1\nf 1//1 2//1\n");
    const MeshData data(kObjId, kMtlId, 1.0f);
    ASSERT_EQ(data.vertexCount, 5);
    ASSERT_EQ(data.getIndexCount(), 3);
    EXPECT_EQ(vertex(data, 0)[8], 1.0f);
    for (int k = 3; k < 5; ++k) {
        const std::vector<float> v = vertex(data, k);
        EXPECT_EQ(std::vector<float>(v.begin() + 8, v.begin() + 14), std::vector<float>(6, 0.0f)) << k;
    }
}

TEST_F(Mesh, IndexCountNotAMultipleOfThree)
{
    // Three corners at one position make the triangulation name them twice.
    add("v 0 0 0\nv 1 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1 2/1/1\n");
    const MeshData data(kObjId, kMtlId, 1.0f);
    ASSERT_EQ(data.vertexCount, 4);
    EXPECT_EQ(data.getIndexCount(), 14);
    EXPECT_EQ(data.getIndexDataSize(), 56);
    for (int i = 0; i < data.getIndexCount(); ++i)
        EXPECT_LT(data.getIndexData()[i], 4u);
}

TEST_F(Mesh, FacesWithoutTrianglesGiveAnEmptyMesh)
{
    add("v 0 0 0\nv 1 0 0\nvn 0 0 1\nf 1//1 2//1\n");
    const MeshData data(kObjId, kMtlId, 1.0f);
    EXPECT_EQ(data.vertexCount, 0);
    EXPECT_EQ(data.getIndexCount(), 0);
    EXPECT_EQ(data.getVertexDataSize(), 0);
    EXPECT_EQ(data.getIndexDataSize(), 0);
}

// The children write their stderr for the check; their progress trace is
// not wanted in the test log.
class MeshDeathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setMessageBoxSink([](const std::string&, const std::string&, platform::BoxIcon) {});
        oldOut_ = std::cout.rdbuf(nullptr);
    }
    void TearDown() override
    {
        std::cout.rdbuf(oldOut_);
        platform::setMessageBoxSink({});
        platform::clearTestResources();
    }

private:
    std::streambuf* oldOut_ = nullptr;
};

TEST_F(MeshDeathTest, UnloadableModelEndsTheProcessWithStatusZero)
{
    const char* texts[] = {"", "o A\nv 1 2 3\n", "v 0 0 0\nf 0 1 1\n", "v 1 2\n"};
    for (const char* obj : texts) {
        platform::addTestResource(platform::kTextFile, kObjId, obj);
        EXPECT_EXIT(MeshData(kObjId, kMtlId, 1.0f), ::testing::ExitedWithCode(0),
                    "Debug: Failed to load mesh")
            << obj;
    }
    EXPECT_EXIT(MeshData(9499, kMtlId, 1.0f), ::testing::ExitedWithCode(0), "Debug: Failed to load mesh");
}

}  // namespace
