// Fuzz target: any bytes as an OBJ text that is also its own material
// library; a text that loads is built into the 24-float mesh as well.

#include "model/mesh_data.h"
#include "model/objl.h"
#include "platform/resources.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

namespace {

constexpr int kTextId = 9901;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The progress trace and the rejection reasons are not wanted here.
    static const bool quiet = [] {
        std::cout.rdbuf(nullptr);
        std::cerr.rdbuf(nullptr);
        return true;
    }();
    (void)quiet;

    platform::clearTestResources();
    platform::addTestResource(platform::kTextFile, kTextId,
                              std::string(reinterpret_cast<const char*>(data), size));
    objl::ModelLoader loader;
    if (loader.loadModel(kTextId, kTextId)) {
        // Only a loadable text: an unloadable one would end the process.
        const MeshData mesh(kTextId, kTextId, 1.0f);
        (void)mesh;
    }
    platform::clearTestResources();
    return 0;
}
