// Fuzz target: any bytes as an MTL material library, read twice into one
// loader as repeated "mtllib" lines would.

#include "model/objl.h"
#include "platform/resources.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        std::cerr.rdbuf(nullptr);
        return true;
    }();
    (void)quiet;

    constexpr int kTextId = 9902;
    platform::clearTestResources();
    platform::addTestResource(platform::kTextFile, kTextId,
                              std::string(reinterpret_cast<const char*>(data), size));
    objl::ModelLoader loader;
    const bool first = loader.loadMaterials(kTextId);
    const std::size_t count = loader.materials.size();
    const bool second = loader.loadMaterials(kTextId);
    // A library reads the same every time: accepted twice with twice the
    // materials, or rejected twice with none.
    if (first != second || loader.materials.size() != (first ? 2 * count : 0))
        __builtin_trap();
    platform::clearTestResources();
    return 0;
}
