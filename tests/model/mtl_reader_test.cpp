// The MTL reader: keywords, the pending material, names and the libraries
// it rejects.

#include "model_text_fixture.h"

#include <string>
#include <vector>

namespace {

using modeltest::ModelText;
using objl::Vector3;

class MtlReader : public ModelText {};

TEST_F(MtlReader, ShippedLibrary)
{
    ASSERT_TRUE(loader.loadMaterials(140));
    ASSERT_EQ(loader.materials.size(), 1u);
    const objl::Material& m = loader.materials[0];
    EXPECT_EQ(m.name, "wire_198225087");
    EXPECT_TRUE(m.ambient == Vector3(0.7765f, 0.8824f, 0.3412f));
    EXPECT_TRUE(m.diffuse == Vector3(0.7765f, 0.8824f, 0.3412f));
    EXPECT_TRUE(m.specular == Vector3(0.35f, 0.35f, 0.35f));
    EXPECT_EQ(m.specularExponent, 32.0f);
    EXPECT_EQ(m.dissolve, 1.0f);
    EXPECT_EQ(m.illumination, 2);
    EXPECT_EQ(m.opticalDensity, 0.0f);
    for (const std::string* map : {&m.ambientMap, &m.diffuseMap, &m.specularMap,
                                   &m.specularExponentMap, &m.alphaMap, &m.bumpMap})
        EXPECT_TRUE(map->empty());
}

TEST_F(MtlReader, PendingMaterialAndNames)
{
    struct Expect {
        std::string name;
        Vector3 diffuse;
        float dissolve;
    };
    struct Case {
        const char* name;
        std::string mtl;
        std::vector<Expect> materials;
    } cases[] = {
        {"keywords before the first newmtl stay", "Kd 1 0 0\nnewmtl a\n", {{"a", {1, 0, 0}, 0}}},
        {"blocks do not leak", "newmtl a\nKd 1 0 0\nd 0.5\nnewmtl b\n",
         {{"a", {1, 0, 0}, 0.5f}, {"b", {0, 0, 0}, 0}}},
        {"no newmtl at all", "Kd 0 0 1\nd 1", {{"", {0, 0, 1}, 1}}},
        {"empty library", "", {{"", {0, 0, 0}, 0}}},
        {"eight-character line names", "newmtl x\n", {{"x", {}, 0}}},
        {"seven characters give none", "newmtl \n", {{"none", {}, 0}}},
        {"a lone keyword gives none", "newmtl", {{"none", {}, 0}}},
        {"CR LF name", "newmtl wire\r\n", {{"wire", {}, 0}}},
        {"Ka with two or four pieces is ignored", "Kd 1 1 1\nKd 2 2\nKd 3 3 3 3\n",
         {{"", {1, 1, 1}, 0}}},
        {"CR LF Kd with a blank before the CR has four pieces", "Kd 1 1 1\r\nKd 2 2 2 \r\n",
         {{"", {1, 1, 1}, 0}}},
        {"CR after the last value", "Kd 1 0.5 0.25\r\n", {{"", {1, 0.5f, 0.25f}, 0}}},
        {"keywords are case sensitive", "kd 1 1 1\nD 1\n", {{"", {}, 0}}},
    };
    for (const Case& k : cases) {
        loader.materials.clear();
        ASSERT_TRUE(loadMaterials(k.mtl)) << k.name;
        ASSERT_EQ(loader.materials.size(), k.materials.size()) << k.name;
        for (std::size_t i = 0; i < k.materials.size(); ++i) {
            EXPECT_EQ(loader.materials[i].name, k.materials[i].name) << k.name;
            EXPECT_TRUE(loader.materials[i].diffuse == k.materials[i].diffuse) << k.name;
            EXPECT_EQ(loader.materials[i].dissolve, k.materials[i].dissolve) << k.name;
        }
    }
}

TEST_F(MtlReader, FieldsAndMaps)
{
    ASSERT_TRUE(loadMaterials(
        "newmtl a\r\nKa 0.1 0.2 0.3\r\nKs 1 2 3\r\nNs 9\r\nNi 1.5\r\nillum 4\r\n"
        "map_Ka ka.png\r\nmap_Kd tex.png\r\nmap_Ks ks.png\r\nmap_Ns ns.png\r\nmap_d d.png\r\n"
        "map_Bump b1.png\r\n"));
    ASSERT_EQ(loader.materials.size(), 1u);
    const objl::Material& m = loader.materials[0];
    EXPECT_TRUE(m.ambient == Vector3(0.1f, 0.2f, 0.3f));
    EXPECT_TRUE(m.specular == Vector3(1, 2, 3));
    EXPECT_EQ(m.specularExponent, 9.0f);
    EXPECT_EQ(m.opticalDensity, 1.5f);
    EXPECT_EQ(m.illumination, 4);
    // Map texts are the rest of the line unchanged: CR LF text keeps its CR.
    EXPECT_EQ(m.ambientMap, "ka.png\r");
    EXPECT_EQ(m.diffuseMap, "tex.png\r");
    EXPECT_EQ(m.specularMap, "ks.png\r");
    EXPECT_EQ(m.specularExponentMap, "ns.png\r");
    EXPECT_EQ(m.alphaMap, "d.png\r");
    EXPECT_EQ(m.bumpMap, "b1.png\r");

    for (const char* bump : {"map_bump", "bump"}) {
        loader.materials.clear();
        ASSERT_TRUE(loadMaterials(std::string(bump) + " x.png"));
        EXPECT_EQ(loader.materials.at(0).bumpMap, "x.png") << bump;
    }
}

TEST_F(MtlReader, ReadingTwiceAppendsTwice)
{
    ASSERT_TRUE(loader.loadMaterials(140));
    ASSERT_TRUE(loader.loadMaterials(140));
    ASSERT_EQ(loader.materials.size(), 2u);
    EXPECT_EQ(loader.materials[1].name, "wire_198225087");
    EXPECT_TRUE(loader.loadMaterials(9499));  // missing: one default material
    ASSERT_EQ(loader.materials.size(), 3u);
    EXPECT_TRUE(loader.materials[2].name.empty());
}

TEST_F(MtlReader, RejectedLibraries)
{
    struct Case {
        std::string mtl;
        std::string reason;
    } cases[] = {
        {"newmtl a\nNs x", "line 2: \"Ns\" value \"x\" is not a usable number"},
        {"Ni", "line 1: \"Ni\" value \"\" is not a usable number"},
        {"d \r", "line 1: \"d\" value \"\" is not a usable number"},
        {"illum 2147483648", "line 1: \"illum\" value \"2147483648\" is not a usable number"},
        {"Ns 1e40", "line 1: \"Ns\" value \"1e40\" is not a usable number"},
        {"Ka 1 x 1", "line 1: \"Ka\" value \"x\" is not a usable number"},
        {"Ks 1  1", "line 1: \"Ks\" value \"\" is not a usable number"},
    };
    for (const Case& k : cases) {
        loader.materials.assign(1, objl::Material());
        EXPECT_FALSE(loadMaterials(k.mtl)) << k.mtl;
        EXPECT_EQ(loader.materials.size(), 1u) << k.mtl;
        EXPECT_NE(err().find("MTL text 9402, " + k.reason + "\n"), std::string::npos)
            << k.reason << "\nin:\n" << err();
    }
}

}  // namespace
