// The table of open resource maps and the current one.
#include "ResourceMap.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace qor::core {

namespace {

struct Maps {
    std::mutex mutex;
    std::map<ResFileRefNum, std::filesystem::path> open;
    std::vector<ResFileRefNum> openOrder;  // oldest first
    ResFileRefNum current = kSystemResFile;
    ResFileRefNum lastIssued = kSystemResFile;
};

Maps& maps() {
    static Maps instance;
    return instance;
}

}  // namespace

ResFileRefNum CurResFile() {
    std::lock_guard lock(maps().mutex);
    return maps().current;
}

void UseResFile(ResFileRefNum refNum) {
    Maps& m = maps();
    std::lock_guard lock(m.mutex);
    if (refNum == kSystemResFile || m.open.contains(refNum)) m.current = refNum;
}

ResFileRefNum openResourceMap(const std::filesystem::path& resourceDirectory) {
    std::error_code ec;
    if (!std::filesystem::is_directory(resourceDirectory, ec)) return kNoResFile;
    Maps& m = maps();
    std::lock_guard lock(m.mutex);
    // Numbers run upward and wrap, skipping those in use, so a stale number held after a
    // close does not name a newer map at once.
    for (int tries = 0; tries < INT16_MAX; ++tries) {
        m.lastIssued = m.lastIssued == INT16_MAX ? 1 : static_cast<ResFileRefNum>(m.lastIssued + 1);
        if (!m.open.contains(m.lastIssued)) {
            m.open.emplace(m.lastIssued, resourceDirectory);
            m.openOrder.push_back(m.lastIssued);
            return m.lastIssued;
        }
    }
    return kNoResFile;
}

void closeResourceMap(ResFileRefNum refNum) {
    Maps& m = maps();
    std::lock_guard lock(m.mutex);
    if (!m.open.erase(refNum)) return;
    std::erase(m.openOrder, refNum);
    if (m.current == refNum) m.current = kSystemResFile;
}

std::vector<ResFileRefNum> resourceMapSearchOrder() {
    Maps& m = maps();
    std::lock_guard lock(m.mutex);
    auto current = std::find(m.openOrder.begin(), m.openOrder.end(), m.current);
    if (current == m.openOrder.end()) return {};
    return std::vector<ResFileRefNum>(std::make_reverse_iterator(current + 1), m.openOrder.rend());
}

std::optional<std::filesystem::path> resourceMapDirectory(ResFileRefNum refNum) {
    Maps& m = maps();
    std::lock_guard lock(m.mutex);
    auto it = m.open.find(refNum);
    if (it == m.open.end()) return std::nullopt;
    return it->second;
}

}  // namespace qor::core
