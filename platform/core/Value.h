// Property-list values: dictionaries, arrays, strings, data, numbers, dates and booleans.
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace qor::core {

class Value;

// Raw bytes; kept apart from strings so that a reader can tell text from binary data.
using Data = std::vector<std::uint8_t>;

// A point in time as seconds since 2001-01-01 00:00:00 UTC, the reference date of
// property lists.
struct Date {
    double seconds = 0;
    bool operator==(const Date&) const = default;
};

// An ordered list of values.
class Array {
  public:
    Array() = default;
    Array(std::initializer_list<Value> values);

    using iterator = std::vector<Value>::iterator;
    using const_iterator = std::vector<Value>::const_iterator;

    std::size_t size() const;
    bool empty() const;
    const Value& operator[](std::size_t i) const;
    Value& operator[](std::size_t i);
    const Value* at(std::size_t i) const;
    void push_back(Value value);

    const_iterator begin() const;
    const_iterator end() const;
    iterator begin();
    iterator end();

    bool operator==(const Array& other) const;

  private:
    std::vector<Value> items_;
};

// A map from string keys to values that keeps the order in which keys were first set,
// so a file read and written again keeps its layout.
class Dictionary {
  public:
    using Entry = std::pair<std::string, Value>;

    Dictionary() = default;
    Dictionary(std::initializer_list<Entry> entries);

    using const_iterator = std::vector<Entry>::const_iterator;

    std::size_t size() const;
    bool empty() const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    // Typed lookups: null when the key is absent or holds another kind of value.
    const std::string* findString(std::string_view key) const;
    const Array* findArray(std::string_view key) const;
    const Dictionary* findDictionary(std::string_view key) const;
    const Data* findData(std::string_view key) const;
    const std::int64_t* findInteger(std::string_view key) const;
    const bool* findBoolean(std::string_view key) const;

    // Replaces the value of an existing key in place, or appends the key.
    void set(std::string key, Value value);
    bool erase(std::string_view key);

    const_iterator begin() const;
    const_iterator end() const;

    // Equal when both hold the same keys with equal values, in any order.
    bool operator==(const Dictionary& other) const;

  private:
    std::vector<Entry> entries_;
};

enum class Kind { none, boolean, integer, real, string, data, date, array, dictionary };

// One property-list value. A default-made value is None, which no file can hold.
class Value {
  public:
    Value() = default;
    Value(bool b) : v_(b) {}
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) Value(T i)
        : v_(static_cast<std::int64_t>(i)) {}
    Value(double d) : v_(d) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(Data d) : v_(std::move(d)) {}
    Value(Date d) : v_(d) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Dictionary d) : v_(std::move(d)) {}

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool isNone() const { return kind() == Kind::none; }

    // Each accessor gives null when the value is of another kind.
    const bool* asBoolean() const { return std::get_if<bool>(&v_); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&v_); }
    const double* asReal() const { return std::get_if<double>(&v_); }
    const std::string* asString() const { return std::get_if<std::string>(&v_); }
    const Data* asData() const { return std::get_if<Data>(&v_); }
    const Date* asDate() const { return std::get_if<Date>(&v_); }
    const Array* asArray() const { return std::get_if<Array>(&v_); }
    Array* asArray() { return std::get_if<Array>(&v_); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&v_); }
    Dictionary* asDictionary() { return std::get_if<Dictionary>(&v_); }

    bool operator==(const Value& other) const { return v_ == other.v_; }

  private:
    // The order of the alternatives follows Kind.
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date, Array,
                 Dictionary>
        v_;
};

// Defined here, where Value is complete.
inline std::size_t Array::size() const {
    return items_.size();
}
inline bool Array::empty() const {
    return items_.empty();
}
inline Array::const_iterator Array::begin() const {
    return items_.begin();
}
inline Array::const_iterator Array::end() const {
    return items_.end();
}
inline Array::iterator Array::begin() {
    return items_.begin();
}
inline Array::iterator Array::end() {
    return items_.end();
}
inline std::size_t Dictionary::size() const {
    return entries_.size();
}
inline bool Dictionary::empty() const {
    return entries_.empty();
}
inline Dictionary::const_iterator Dictionary::begin() const {
    return entries_.begin();
}
inline Dictionary::const_iterator Dictionary::end() const {
    return entries_.end();
}

// The kind's name as descriptions and error messages show it ("dictionary", "string", ...).
std::string_view kindName(Kind kind);

// A readable one-value description, as the diagnostic print shows it: strings as
// themselves, everything else in a compact nested form.
std::string describe(const Value& value);

// The platform's diagnostic print: one description per line on standard error.
void show(const Value& value);

}  // namespace qor::core
