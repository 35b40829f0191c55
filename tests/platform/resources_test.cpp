#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Resources, TestEntriesAreFoundByTypeAndIdOnly)
{
    platform::addTestResource(platform::kTextFile, 9001, std::string("v 1 2 3\r\n", 9));
    const platform::ResourceEntry* e = platform::findResource(platform::kTextFile, 9001);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e->data), e->size), "v 1 2 3\r\n");
    EXPECT_EQ(platform::findResource(platform::kBitmap, 9001), nullptr);
    EXPECT_EQ(platform::findResource(platform::kTextFile, 9002), nullptr);
    platform::clearTestResources();
    EXPECT_EQ(platform::findResource(platform::kTextFile, 9001), nullptr);
}

TEST(Resources, TestEntryKeepsBytesAfterZero)
{
    platform::addTestResource(platform::kTextFile, 9003, std::string("a\0b", 3));
    const platform::ResourceEntry* e = platform::findResource(platform::kTextFile, 9003);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->size, 3u);
    platform::clearTestResources();
}

}  // namespace
