// The PJL job header that opens a routed job: job, user and host, fax or hold lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "argumentStore.h"

namespace qor {

// The universal exit sequence: ESC followed by "%-12345X".
inline constexpr std::string_view kUEL = "\x1b%-12345X";

class pjlCreation {
  public:
    // The lines for a job of the given user, sent from the given host.
    static pjlCreation initFromArgsStore(const argumentStore& store, std::string_view userID,
                                         std::string_view hostName);
    // Same, from this host (the first part of its name).
    static pjlCreation initFromArgsStore(const argumentStore& store, std::string_view userID);

    size_t count() const { return pjlLines_.size(); }
    const std::string& itemAtIndex(size_t index) const { return pjlLines_.at(index); }
    const std::vector<std::string>& objectEnumerator() const { return pjlLines_; }

  private:
    std::vector<std::string> pjlLines_;
};

// A value made safe for a quoted PJL string: control characters (below 0x20 and 0x7F)
// are dropped so that no value can end the line, and a double quote becomes an
// apostrophe so that none can end the string.
std::string pjlQuotable(std::string_view value);

// The first part of this host's name ("alpha" for alpha.example.com).
std::string shortHostName();

}  // namespace qor
