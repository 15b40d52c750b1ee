// The job's options, split from the CUPS option string and decoded, looked up by name.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class argumentStore {
  public:
    // Splits the option string with the CUPS parser and undoes the value escaping of
    // every value longer than three characters. A null string gives an empty store.
    static argumentStore initWithOptionString(const char* options);

    size_t count() const { return options_.size(); }

    // Exact, case-sensitive lookup; nullptr when the option is absent.
    const std::string* getValue(std::string_view name) const;

    std::vector<std::string> keyEnumerator() const;

  private:
    std::map<std::string, std::string, std::less<>> options_;
};

}  // namespace qor
