// The cover page's label translations, read from one of the Job Routing panel's strings files.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class transDictionary {
  public:
    // Reads the strings file at `path`. When there is no file there, writes "ERROR: Unable to
    // open file <path> English is being used." to standard error and reads `englishPath`
    // instead (by default the English file of englishStringsPath()). When that cannot be read
    // either the table stays empty, and says so.
    static transDictionary initWithFilePath(const std::string& path);
    static transDictionary initWithFilePath(const std::string& path,
                                            const std::string& englishPath);

    // The entries of a strings file's text. The scanner only knows double quotes: one entry is
    // a quoted key, anything up to the next quote, and a quoted value. So a quote inside a
    // comment shifts the pairing, an escaped quote ends a text, and white space at the
    // beginning of a key or value is lost. "" gives an empty key or value; an entry whose key
    // or value is not valid UTF-8 is dropped.
    static transDictionary initWithText(std::string_view text);

    size_t count() const { return transDict.size(); }
    // Exact, case-sensitive lookup; nullptr when the key is absent.
    const std::string* getValue(std::string_view key) const;
    std::vector<std::string> keyEnumerator() const;

  private:
    std::map<std::string, std::string, std::less<>> transDict;
};

}  // namespace qor
