#include "common/refusal.h"

#include <utility>

namespace selvanor {
namespace {

thread_local std::string lastRefusal;

}  // namespace

void noteRefusal(std::string text) { lastRefusal = std::move(text); }

std::string takeRefusal() { return std::exchange(lastRefusal, std::string()); }

const std::string& peekRefusal() { return lastRefusal; }

}  // namespace selvanor
