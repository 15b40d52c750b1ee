// Property-list values: containers, comparisons and the diagnostic description.
#include "Value.h"

#include <algorithm>
#include <cstdio>

namespace qor::core {

Array::Array(std::initializer_list<Value> values) : items_(values) {}

const Value& Array::operator[](std::size_t i) const {
    return items_[i];
}
Value& Array::operator[](std::size_t i) {
    return items_[i];
}
const Value* Array::at(std::size_t i) const {
    return i < items_.size() ? &items_[i] : nullptr;
}
void Array::push_back(Value value) {
    items_.push_back(std::move(value));
}
bool Array::operator==(const Array& other) const {
    return items_ == other.items_;
}

Dictionary::Dictionary(std::initializer_list<Entry> entries) {
    for (const auto& [key, value] : entries) set(key, value);
}

const Value* Dictionary::find(std::string_view key) const {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.first == key; });
    return it == entries_.end() ? nullptr : &it->second;
}

Value* Dictionary::find(std::string_view key) {
    return const_cast<Value*>(std::as_const(*this).find(key));
}

namespace {

// The value under a key, seen as one kind; null when absent or of another kind.
template <typename Accessor>
auto typed(const Value* value, Accessor accessor) -> decltype(accessor(*value)) {
    return value ? accessor(*value) : nullptr;
}

}  // namespace

const std::string* Dictionary::findString(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asString(); });
}
const Array* Dictionary::findArray(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asArray(); });
}
const Dictionary* Dictionary::findDictionary(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asDictionary(); });
}
const Data* Dictionary::findData(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asData(); });
}
const std::int64_t* Dictionary::findInteger(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asInteger(); });
}
const bool* Dictionary::findBoolean(std::string_view key) const {
    return typed(find(key), [](const Value& v) { return v.asBoolean(); });
}

void Dictionary::set(std::string key, Value value) {
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    entries_.emplace_back(std::move(key), std::move(value));
}

bool Dictionary::erase(std::string_view key) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.first == key; });
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

bool Dictionary::operator==(const Dictionary& other) const {
    if (size() != other.size()) return false;
    return std::all_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
        const Value* v = other.find(e.first);
        return v && *v == e.second;
    });
}

std::string_view kindName(Kind kind) {
    switch (kind) {
        case Kind::none:
            return "none";
        case Kind::boolean:
            return "boolean";
        case Kind::integer:
            return "integer";
        case Kind::real:
            return "real";
        case Kind::string:
            return "string";
        case Kind::data:
            return "data";
        case Kind::date:
            return "date";
        case Kind::array:
            return "array";
        case Kind::dictionary:
            return "dictionary";
    }
    return "unknown";
}

namespace {

void appendQuoted(std::string& out, const std::string& s) {
    out += '"';
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

void appendDescription(std::string& out, const Value& value, bool quoteStrings) {
    char buffer[64];
    switch (value.kind()) {
        case Kind::none:
            out += "(none)";
            break;
        case Kind::boolean:
            out += *value.asBoolean() ? "true" : "false";
            break;
        case Kind::integer:
            out += std::to_string(*value.asInteger());
            break;
        case Kind::real:
            std::snprintf(buffer, sizeof buffer, "%.17g", *value.asReal());
            out += buffer;
            break;
        case Kind::string:
            if (quoteStrings)
                appendQuoted(out, *value.asString());
            else
                out += *value.asString();
            break;
        case Kind::data:
            out += '<';
            for (std::uint8_t b : *value.asData()) {
                std::snprintf(buffer, sizeof buffer, "%02x", b);
                out += buffer;
            }
            out += '>';
            break;
        case Kind::date:
            std::snprintf(buffer, sizeof buffer, "date(%.17g)", value.asDate()->seconds);
            out += buffer;
            break;
        case Kind::array: {
            out += '(';
            const char* separator = "";
            for (const Value& item : *value.asArray()) {
                out += separator;
                appendDescription(out, item, true);
                separator = ", ";
            }
            out += ')';
            break;
        }
        case Kind::dictionary: {
            out += '{';
            const char* separator = "";
            for (const auto& [key, item] : *value.asDictionary()) {
                out += separator;
                appendQuoted(out, key);
                out += " = ";
                appendDescription(out, item, true);
                separator = "; ";
            }
            out += '}';
            break;
        }
    }
}

}  // namespace

std::string describe(const Value& value) {
    std::string out;
    appendDescription(out, value, false);
    return out;
}

void show(const Value& value) {
    std::string line = describe(value);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace qor::core
