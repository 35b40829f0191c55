#include "platform/resources.h"

#include <cstring>
#include <list>

namespace platform {
namespace {

struct TestResource {
    std::string type;
    std::string bytes;
    ResourceEntry entry;
};

// A list, so that entries keep their addresses while others are added.
std::list<TestResource>& testResources()
{
    static std::list<TestResource> resources;
    return resources;
}

}  // namespace

const ResourceEntry* findResource(const char* type, int id)
{
    for (const TestResource& r : testResources()) {
        if (r.entry.id == id && r.type == type)
            return &r.entry;
    }
    for (std::size_t i = 0; i < kShippedResourceCount; ++i) {
        const ResourceEntry& e = kShippedResources[i];
        if (e.id == id && std::strcmp(e.type, type) == 0)
            return &e;
    }
    return nullptr;
}

void addTestResource(const char* type, int id, const std::string& bytes)
{
    TestResource& r = testResources().emplace_front();
    r.type = type;
    r.bytes = bytes;
    r.entry = ResourceEntry{r.type.c_str(), id, 0,
                            reinterpret_cast<const unsigned char*>(r.bytes.data()), r.bytes.size()};
}

void clearTestResources()
{
    testResources().clear();
}

}  // namespace platform
