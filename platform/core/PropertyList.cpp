// Property-list reading and writing over libplist.
#include "PropertyList.h"

#include <plist/plist.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>

namespace qor::core {

namespace {

// Deeper nesting than this is refused rather than risking the stack on hostile input.
constexpr int kMaxDepth = 512;

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using MallocPtr = std::unique_ptr<T, MallocFree>;

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

std::optional<Value> fromNode(plist_t node, int depth, std::string* error) {
    if (depth > kMaxDepth) {
        setError(error, "property list nested too deeply");
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return Value(b != 0);
        }
        case PLIST_UINT: {
            // libplist keeps every integer in 64 bits, negative ones in two's complement.
            std::uint64_t u = 0;
            plist_get_uint_val(node, &u);
            return Value(static_cast<std::int64_t>(u));
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return Value(d);
        }
        case PLIST_STRING: {
            char* raw = nullptr;
            plist_get_string_val(node, &raw);
            MallocPtr<char> s(raw);
            return Value(std::string(s ? s.get() : ""));
        }
        case PLIST_DATA: {
            char* raw = nullptr;
            std::uint64_t length = 0;
            plist_get_data_val(node, &raw, &length);
            MallocPtr<char> bytes(raw);
            auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.get());
            return Value(begin ? Data(begin, begin + length) : Data());
        }
        case PLIST_DATE: {
            std::int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            return Value(Date{sec + usec / 1e6});
        }
        case PLIST_ARRAY: {
            Array array;
            std::uint32_t count = plist_array_get_size(node);
            for (std::uint32_t i = 0; i < count; ++i) {
                auto item = fromNode(plist_array_get_item(node, i), depth + 1, error);
                if (!item) return std::nullopt;
                array.push_back(std::move(*item));
            }
            return Value(std::move(array));
        }
        case PLIST_DICT: {
            Dictionary dict;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            MallocPtr<void> iter(it);
            for (;;) {
                char* rawKey = nullptr;
                plist_t child = nullptr;
                plist_dict_next_item(node, it, &rawKey, &child);
                MallocPtr<char> key(rawKey);
                if (!child) break;
                auto item = fromNode(child, depth + 1, error);
                if (!item) return std::nullopt;
                dict.set(key ? key.get() : "", std::move(*item));
            }
            return Value(std::move(dict));
        }
        default:
            setError(error, "property list holds a value of an unsupported kind");
            return std::nullopt;
    }
}

PlistPtr toNode(const Value& value, int depth, std::string* error) {
    if (depth > kMaxDepth) {
        setError(error, "value nested too deeply to write");
        return nullptr;
    }
    switch (value.kind()) {
        case Kind::none:
            setError(error, "a property list cannot hold an empty value");
            return nullptr;
        case Kind::boolean:
            return PlistPtr(plist_new_bool(*value.asBoolean()));
        case Kind::integer:
            return PlistPtr(plist_new_uint(static_cast<std::uint64_t>(*value.asInteger())));
        case Kind::real:
            return PlistPtr(plist_new_real(*value.asReal()));
        case Kind::string:
            // libplist takes C strings: a NUL would silently cut the text short.
            if (value.asString()->find('\0') != std::string::npos) {
                setError(error, "a property-list string cannot hold a NUL character");
                return nullptr;
            }
            return PlistPtr(plist_new_string(value.asString()->c_str()));
        case Kind::data: {
            const Data& d = *value.asData();
            return PlistPtr(plist_new_data(reinterpret_cast<const char*>(d.data()), d.size()));
        }
        case Kind::date: {
            double seconds = value.asDate()->seconds;
            if (!std::isfinite(seconds) || seconds < std::numeric_limits<std::int32_t>::min() ||
                seconds >= std::numeric_limits<std::int32_t>::max()) {
                setError(error, "date out of the range a property list can hold");
                return nullptr;
            }
            double whole = std::floor(seconds);
            return PlistPtr(plist_new_date(static_cast<std::int32_t>(whole),
                                           static_cast<std::int32_t>((seconds - whole) * 1e6)));
        }
        case Kind::array: {
            PlistPtr node(plist_new_array());
            for (const Value& item : *value.asArray()) {
                PlistPtr child = toNode(item, depth + 1, error);
                if (!child) return nullptr;
                plist_array_append_item(node.get(), child.release());
            }
            return node;
        }
        case Kind::dictionary: {
            PlistPtr node(plist_new_dict());
            for (const auto& [key, item] : *value.asDictionary()) {
                if (key.find('\0') != std::string::npos) {
                    setError(error, "a property-list key cannot hold a NUL character");
                    return nullptr;
                }
                PlistPtr child = toNode(item, depth + 1, error);
                if (!child) return nullptr;
                plist_dict_set_item(node.get(), key.c_str(), child.release());
            }
            return node;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<Value> readPropertyList(std::span<const std::uint8_t> bytes, std::string* error) {
    if (bytes.empty()) {
        setError(error, "empty property list");
        return std::nullopt;
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        setError(error, "property list too large");
        return std::nullopt;
    }
    plist_t raw = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()), &raw);
    PlistPtr root(raw);
    if (!root) {
        setError(error, "not a valid property list");
        return std::nullopt;
    }
    return fromNode(root.get(), 0, error);
}

std::optional<Value> readPropertyList(std::string_view bytes, std::string* error) {
    return readPropertyList(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), error);
}

std::optional<Data> readFileBytes(const std::filesystem::path& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        setError(error, "cannot open " + path.string());
        return std::nullopt;
    }
    Data bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        setError(error, "cannot read " + path.string());
        return std::nullopt;
    }
    return bytes;
}

std::optional<Value> readPropertyListFile(const std::filesystem::path& path, std::string* error) {
    auto bytes = readFileBytes(path, error);
    if (!bytes) return std::nullopt;
    std::string why;
    auto value = readPropertyList(*bytes, &why);
    if (!value) setError(error, path.string() + ": " + why);
    return value;
}

std::optional<Data> writePropertyList(const Value& value, PropertyListFormat format,
                                      std::string* error) {
    PlistPtr root = toNode(value, 0, error);
    if (!root) return std::nullopt;
    char* raw = nullptr;
    std::uint32_t length = 0;
    if (format == PropertyListFormat::Xml)
        plist_to_xml(root.get(), &raw, &length);
    else
        plist_to_bin(root.get(), &raw, &length);
    MallocPtr<char> out(raw);
    if (!out) {
        setError(error, "property list could not be serialised");
        return std::nullopt;
    }
    auto* begin = reinterpret_cast<const std::uint8_t*>(out.get());
    return Data(begin, begin + length);
}

bool writePropertyListFile(const std::filesystem::path& path, const Value& value,
                           PropertyListFormat format, std::string* error) {
    auto bytes = writePropertyList(value, format, error);
    if (!bytes) return false;
    std::filesystem::path temp = path;
    temp += ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes->data()),
                  static_cast<std::streamsize>(bytes->size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            setError(error, "cannot write " + path.string());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        setError(error, "cannot replace " + path.string());
        return false;
    }
    return true;
}

}  // namespace qor::core
