// Reading and writing property lists (XML and binary) as Value trees.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "Value.h"

namespace qor::core {

enum class PropertyListFormat { Xml, Binary };

// Parses XML or binary property-list bytes (the format is recognised from the bytes).
// On failure gives nothing and, when asked, a message saying why.
std::optional<Value> readPropertyList(std::span<const std::uint8_t> bytes,
                                      std::string* error = nullptr);
std::optional<Value> readPropertyList(std::string_view bytes, std::string* error = nullptr);
std::optional<Value> readPropertyListFile(const std::filesystem::path& path,
                                          std::string* error = nullptr);

// Serialises a value; fails for a value that holds None anywhere.
std::optional<Data> writePropertyList(const Value& value, PropertyListFormat format,
                                      std::string* error = nullptr);
// Writes the whole file or nothing: the bytes go to a temporary file beside the target,
// which then replaces it.
bool writePropertyListFile(const std::filesystem::path& path, const Value& value,
                           PropertyListFormat format, std::string* error = nullptr);

// Reads a whole file into memory; nothing when it cannot be read.
std::optional<Data> readFileBytes(const std::filesystem::path& path, std::string* error = nullptr);

}  // namespace qor::core
