// The corpus manager's document list: loading, its notices and saving what loaded.
#include "fuzz_support.h"
#include "store/corpus/document_list.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::writeScratch("dblist.dat", fuzz::bytes(data, size));
  corpus::DocumentList list;
  const corpus::ListResult loaded = list.load(path, false);
  if (!loaded) {
    FUZZ_CHECK(list.groups().empty());
    (void)corpus::loadFailedMessage(path, list.loadReport());
    return 0;
  }
  (void)corpus::loadNotices(list.loadReport());
  // What loaded saves, and the saved list loads into as many groups.
  const std::string again = fuzz::scratchPath("saved.dat");
  if (list.save(again)) {
    corpus::DocumentList reloaded;
    if (reloaded.load(again, false)) FUZZ_CHECK(reloaded.groups().size() == list.groups().size());
  }
  return 0;
}
