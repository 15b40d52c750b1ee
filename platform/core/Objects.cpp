// Reference-counted strings, arrays and UUIDs of the C boundary.
#include "Objects.h"

#include <cstring>
#include <memory>
#include <new>
#include <variant>

struct QorObject {
    using Content = std::variant<std::string, std::vector<QorTypeRef>, qor::core::Uuid>;

    explicit QorObject(Content c) : content(std::move(c)) {}
    ~QorObject() {
        if (auto* items = std::get_if<std::vector<QorTypeRef>>(&content))
            for (QorTypeRef item : *items) QorRelease(item);
    }

    // Counts are plain integers: plug-ins are called from one thread at a time.
    mutable std::uint32_t refCount = 1;
    Content content;
};

namespace {

// No exception may leave the C functions: running out of memory gives null.
QorTypeRef create(QorObject::Content content) {
    try {
        return std::make_unique<QorObject>(std::move(content)).release();
    } catch (...) {
        return nullptr;
    }
}

template <typename T>
const T* contentOf(QorTypeRef object) {
    return object ? std::get_if<T>(&object->content) : nullptr;
}

}  // namespace

extern "C" {

QorTypeRef QorRetain(QorTypeRef object) {
    if (object) ++object->refCount;
    return object;
}

void QorRelease(QorTypeRef object) {
    if (!object || object->refCount == 0) return;
    if (--object->refCount == 0) std::unique_ptr<const QorObject> destroy(object);
}

std::uint32_t QorGetRetainCount(QorTypeRef object) {
    return object ? object->refCount : 0;
}

bool QorEqual(QorTypeRef a, QorTypeRef b) {
    if (a == b) return true;
    if (!a || !b || a->content.index() != b->content.index()) return false;
    if (auto* items = contentOf<std::vector<QorTypeRef>>(a)) {
        auto* others = contentOf<std::vector<QorTypeRef>>(b);
        if (items->size() != others->size()) return false;
        for (std::size_t i = 0; i < items->size(); ++i)
            if (!QorEqual((*items)[i], (*others)[i])) return false;
        return true;
    }
    return a->content == b->content;
}

QorStringRef QorStringCreateWithUTF8(const char* text) {
    if (!text) return nullptr;
    try {
        return create(std::string(text));
    } catch (...) {
        return nullptr;
    }
}

const char* QorStringGetUTF8(QorStringRef string) {
    const std::string* text = contentOf<std::string>(string);
    return text ? text->c_str() : nullptr;
}

QorArrayRef QorArrayCreate(const QorTypeRef* values, std::size_t count) {
    if (count > 0 && !values) return nullptr;
    try {
        std::vector<QorTypeRef> items(values, values + count);
        for (QorTypeRef item : items)
            if (!item) return nullptr;
        QorTypeRef array = create(std::move(items));
        if (array)
            for (std::size_t i = 0; i < count; ++i) QorRetain(values[i]);
        return array;
    } catch (...) {
        return nullptr;
    }
}

std::size_t QorArrayGetCount(QorArrayRef array) {
    auto* items = contentOf<std::vector<QorTypeRef>>(array);
    return items ? items->size() : 0;
}

QorTypeRef QorArrayGetValueAtIndex(QorArrayRef array, std::size_t index) {
    auto* items = contentOf<std::vector<QorTypeRef>>(array);
    return items && index < items->size() ? (*items)[index] : nullptr;
}

QorUUIDRef QorUUIDCreateFromString(const char* text) {
    if (!text) return nullptr;
    auto uuid = qor::core::Uuid::fromString(text);
    return uuid ? create(*uuid) : nullptr;
}

QorUUIDRef QorUUIDCreateFromUUIDBytes(QorUUIDBytes bytes) {
    return create(qor::core::Uuid::fromBytes(std::span<const std::uint8_t, 16>(bytes.bytes)));
}

QorUUIDBytes QorUUIDGetUUIDBytes(QorUUIDRef uuid) {
    QorUUIDBytes out{};
    if (auto* u = contentOf<qor::core::Uuid>(uuid))
        std::memcpy(out.bytes, u->bytes().data(), sizeof out.bytes);
    return out;
}

}  // extern "C"

namespace qor::core {

Ref makeString(std::string_view text) {
    return Ref::adopt(create(std::string(text)));
}

Ref makeStringArray(const std::vector<std::string>& texts) {
    std::vector<Ref> strings;
    std::vector<QorTypeRef> raw;
    for (const std::string& text : texts) {
        strings.push_back(makeString(text));
        if (!strings.back()) return Ref();
        raw.push_back(strings.back().get());
    }
    return Ref::adopt(QorArrayCreate(raw.data(), raw.size()));
}

Ref makeUuid(const Uuid& uuid) {
    return Ref::adopt(create(uuid));
}

std::optional<std::string> stringOf(QorTypeRef object) {
    const std::string* text = contentOf<std::string>(object);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::optional<Uuid> uuidOf(QorTypeRef object) {
    const Uuid* uuid = contentOf<Uuid>(object);
    return uuid ? std::optional<Uuid>(*uuid) : std::nullopt;
}

}  // namespace qor::core
