/* Reference-counted strings, arrays and UUIDs passed between a program and its plug-ins. */
#pragma once

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Every object starts with a count of 1 when created; QorRelease at 0 destroys it. */
typedef const struct QorObject* QorTypeRef;
typedef QorTypeRef QorStringRef;
typedef QorTypeRef QorArrayRef;
typedef QorTypeRef QorUUIDRef;

/* An allocator argument that the plug-in protocol carries and no one here uses. */
typedef const struct QorAllocator* QorAllocatorRef;

typedef struct QorUUIDBytes {
    uint8_t bytes[16];
} QorUUIDBytes;

/* Null in, null out; both are safe to call with null. */
QorTypeRef QorRetain(QorTypeRef object);
void QorRelease(QorTypeRef object);
uint32_t QorGetRetainCount(QorTypeRef object);
/* Same kind and same contents; two nulls are equal. */
bool QorEqual(QorTypeRef a, QorTypeRef b);

/* Null when the text is null or memory runs out. */
QorStringRef QorStringCreateWithUTF8(const char* text);
/* The text of a string object, valid while the object lives; null for other kinds. */
const char* QorStringGetUTF8(QorStringRef string);

/* The array retains each element; null elements are refused (the result is null). */
QorArrayRef QorArrayCreate(const QorTypeRef* values, size_t count);
size_t QorArrayGetCount(QorArrayRef array);
/* Borrowed: the element lives as long as the array. Null past the end. */
QorTypeRef QorArrayGetValueAtIndex(QorArrayRef array, size_t index);

/* Null when the text is not an 8-4-4-4-12 hexadecimal UUID. */
QorUUIDRef QorUUIDCreateFromString(const char* text);
QorUUIDRef QorUUIDCreateFromUUIDBytes(QorUUIDBytes bytes);
/* All zero for anything that is not a UUID object. */
QorUUIDBytes QorUUIDGetUUIDBytes(QorUUIDRef uuid);

#ifdef __cplusplus
}

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Uuid.h"

namespace qor::core {

/* Owns one reference to an object for the C++ side. */
class Ref {
  public:
    Ref() = default;
    static Ref adopt(QorTypeRef object) { return Ref(object); }
    static Ref retain(QorTypeRef object) { return Ref(QorRetain(object)); }

    Ref(const Ref& other) : object_(QorRetain(other.object_)) {}
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~Ref() { QorRelease(object_); }

    QorTypeRef get() const { return object_; }
    /* Hands the reference to the caller. */
    QorTypeRef release() { return std::exchange(object_, nullptr); }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    explicit Ref(QorTypeRef object) : object_(object) {}
    QorTypeRef object_ = nullptr;
};

Ref makeString(std::string_view text);
Ref makeStringArray(const std::vector<std::string>& texts);
Ref makeUuid(const Uuid& uuid);
std::optional<std::string> stringOf(QorTypeRef object);
std::optional<Uuid> uuidOf(QorTypeRef object);

}  // namespace qor::core
#endif
