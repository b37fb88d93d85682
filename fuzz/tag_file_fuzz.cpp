// The tag file: loading and the lookups over what loaded.
#include "fuzz_support.h"
#include "stats/tag_manager.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::writeScratch("tag.txt", fuzz::bytes(data, size));
  TagManager tags;
  const TagLoadResult loaded = tags.Load(path);
  FUZZ_CHECK(loaded.ok == loaded.error.empty());
  FUZZ_CHECK(loaded.error.size() <= TagManager::kMaxErrorBytes + path.size() + 200);
  if (!loaded) {
    FUZZ_CHECK(tags.GetClassList(2) != nullptr);
    return 0;
  }
  // Every tag the set lists is found again by its name.
  for (const std::string& tag : tags.AllTags()) FUZZ_CHECK(tags.FindTag(tag) != nullptr);
  for (int step = 1; step <= 3; ++step) {
    for (const TagNode& node : *tags.GetClassList(step)) {
      FUZZ_CHECK(tags.FindEntry(node.name, step) != nullptr);
    }
  }
  (void)tags.ContentTags();
  (void)tags.RelationalTags();
  return 0;
}
