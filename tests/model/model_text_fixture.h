#pragma once
// Loads OBJ and MTL texts given by a test, with standard output and standard
// error captured so the progress trace and the rejection reasons can be read.

#include "model/objl.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace modeltest {

inline constexpr int kObjId = 9401;
inline constexpr int kMtlId = 9402;

class ModelText : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldOut_ = std::cout.rdbuf(out_.rdbuf());
        oldErr_ = std::cerr.rdbuf(err_.rdbuf());
    }

    void TearDown() override
    {
        std::cout.rdbuf(oldOut_);
        std::cerr.rdbuf(oldErr_);
        platform::clearTestResources();
    }

    // Puts the texts under the test ids (an MTL text of "-" is left out,
    // so the library is missing) and reads them.
    bool load(const std::string& obj, const std::string& mtl = "")
    {
        platform::addTestResource(platform::kTextFile, kObjId, obj);
        if (mtl != "-")
            platform::addTestResource(platform::kTextFile, kMtlId, mtl);
        return loader.loadModel(kObjId, kMtlId);
    }

    bool loadMaterials(const std::string& mtl)
    {
        platform::addTestResource(platform::kTextFile, kMtlId, mtl);
        return loader.loadMaterials(kMtlId);
    }

    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }

    objl::ModelLoader loader;

private:
    std::ostringstream out_;
    std::ostringstream err_;
    std::streambuf* oldOut_ = nullptr;
    std::streambuf* oldErr_ = nullptr;
};

}  // namespace modeltest
