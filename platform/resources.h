#pragma once
// The resources the executable carries: byte blocks found by type and id.
// The table is built from resources/resources.list; the language of an entry
// is recorded but lookups ignore it, as each id exists in one language only.

#include <cstddef>
#include <string>

namespace platform {

// Resource types. Custom types are named by their text; the standard kinds
// carry the names of the Windows resource kinds they stand for.
inline constexpr const char* kTextFile = "TEXTFILE";
inline constexpr const char* kPng = "PNG";
inline constexpr const char* kBitmap = "RT_BITMAP";
inline constexpr const char* kIcon = "RT_ICON";
inline constexpr const char* kGroupIcon = "RT_GROUP_ICON";
inline constexpr const char* kManifest = "RT_MANIFEST";

struct ResourceEntry {
    const char* type;
    int id;
    int language;
    const unsigned char* data;
    std::size_t size;
};

// The entry of that type and id, or null when there is none. Entries added
// by tests are found before the shipped ones.
const ResourceEntry* findResource(const char* type, int id);

// Test seam: adds an entry (the bytes are copied and kept until cleared).
void addTestResource(const char* type, int id, const std::string& bytes);
void clearTestResources();

// The shipped table, generated at build time.
extern const ResourceEntry kShippedResources[];
extern const std::size_t kShippedResourceCount;

}  // namespace platform
