// Reads a bundle's layout resource: the property list that describes its control and dialog
// templates.
//
// The file is a dictionary from template number (as a string, "7110", "-6484") to a template
// dictionary with these keys:
//   kind          string, required: userPane, pushButton, checkBox, radioButton, radioGroup,
//                 popupButton, staticText, editText, textBox or dialog
//   bounds        array of four integers, required: top, left, bottom, right in window
//                 coordinates (for a dialog: its content rectangle on the screen)
//   title         string: the title, or the text of a static text, edit field or text box
//   value, minimum, maximum   integers
//   visible, enabled, active  booleans, true unless given
//   autoToggle    boolean (checkBox, radioButton), true unless given
//   password      boolean (editText): the text shows masked
//   justification string: left, right, center or default
//   menuID, titleWidth        integers (popupButton)
//   controlID     dictionary: signature (string of four characters), id (integer)
//   refCon        integer
//   items         array of templates without items (dialog): dialog item n is entry n
//   defaultItem, cancelItem   integers (dialog): item numbers, 0 for none
#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "Toolbox-private.h"

namespace qor::toolbox {

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistDeleter>;

struct ParseError {
    std::string message;
};

std::string stringOf(plist_t node) {
    char* raw = nullptr;
    plist_get_string_val(node, &raw);
    std::string text = raw ? raw : "";
    std::free(raw);
    return text;
}

// libplist keeps integers as 64 bits; negative numbers come back as their two's complement.
std::int64_t integerOf(plist_t node) {
    uint64_t raw = 0;
    plist_get_uint_val(node, &raw);
    return static_cast<std::int64_t>(raw);
}

template <typename Int>
Int integerIn(plist_t node, const std::string& key) {
    if (plist_get_node_type(node) != PLIST_UINT) throw ParseError{key + " must be an integer"};
    const std::int64_t value = integerOf(node);
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw ParseError{key + " is out of range"};
    return static_cast<Int>(value);
}

bool booleanIn(plist_t node, const std::string& key) {
    if (plist_get_node_type(node) != PLIST_BOOLEAN) throw ParseError{key + " must be a boolean"};
    uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

std::string stringIn(plist_t node, const std::string& key) {
    if (plist_get_node_type(node) != PLIST_STRING) throw ParseError{key + " must be a string"};
    return stringOf(node);
}

ControlKind kindNamed(const std::string& name, bool* isDialog) {
    static const std::pair<const char*, ControlKind> kinds[] = {
        {"userPane", ControlKind::UserPane},     {"pushButton", ControlKind::PushButton},
        {"checkBox", ControlKind::CheckBox},     {"radioButton", ControlKind::RadioButton},
        {"radioGroup", ControlKind::RadioGroup}, {"popupButton", ControlKind::PopupButton},
        {"staticText", ControlKind::StaticText}, {"editText", ControlKind::EditText},
        {"textBox", ControlKind::TextBox},       {"dialog", ControlKind::UserPane},
    };
    for (const auto& [text, kind] : kinds) {
        if (name == text) {
            *isDialog = name == "dialog";
            return kind;
        }
    }
    throw ParseError{"unknown kind \"" + name + "\""};
}

Rect boundsIn(plist_t node) {
    if (plist_get_node_type(node) != PLIST_ARRAY || plist_array_get_size(node) != 4)
        throw ParseError{"bounds must be an array of four integers"};
    short sides[4];
    for (uint32_t i = 0; i < 4; ++i)
        sides[i] = integerIn<short>(plist_array_get_item(node, i), "bounds");
    return Rect{sides[0], sides[1], sides[2], sides[3]};
}

ControlID controlIDIn(plist_t node) {
    if (plist_get_node_type(node) != PLIST_DICT) throw ParseError{"controlID must be a dictionary"};
    plist_t signature = plist_dict_get_item(node, "signature");
    plist_t id = plist_dict_get_item(node, "id");
    if (!signature || !id) throw ParseError{"controlID needs signature and id"};
    const std::string code = stringIn(signature, "controlID signature");
    if (code.size() != 4) throw ParseError{"controlID signature must have four characters"};
    ControlID result;
    for (unsigned char ch : code) result.signature = (result.signature << 8) | ch;
    result.id = integerIn<SInt32>(id, "controlID id");
    return result;
}

SInt16 justificationIn(plist_t node) {
    const std::string name = stringIn(node, "justification");
    if (name == "left") return teFlushLeft;
    if (name == "right") return teFlushRight;
    if (name == "center") return teCenter;
    if (name == "default") return teFlushDefault;
    throw ParseError{"justification must be left, right, center or default"};
}

ControlTemplate templateIn(plist_t node, bool allowItems);

void readKey(ControlTemplate& t, const std::string& key, plist_t value, bool allowItems) {
    if (key == "kind") {
        t.kind = kindNamed(stringIn(value, key), &t.isDialog);
    } else if (key == "bounds") {
        t.bounds = boundsIn(value);
    } else if (key == "title") {
        t.title = stringIn(value, key);
    } else if (key == "value") {
        t.value = integerIn<SInt32>(value, key);
    } else if (key == "minimum") {
        t.minimum = integerIn<SInt32>(value, key);
    } else if (key == "maximum") {
        t.maximum = integerIn<SInt32>(value, key);
    } else if (key == "visible") {
        t.visible = booleanIn(value, key);
    } else if (key == "enabled") {
        t.enabled = booleanIn(value, key);
    } else if (key == "active") {
        t.active = booleanIn(value, key);
    } else if (key == "autoToggle") {
        t.autoToggle = booleanIn(value, key);
    } else if (key == "password") {
        t.password = booleanIn(value, key);
    } else if (key == "justification") {
        t.justification = justificationIn(value);
    } else if (key == "menuID") {
        t.menuID = integerIn<MenuID>(value, key);
    } else if (key == "titleWidth") {
        t.titleWidth = integerIn<SInt16>(value, key);
    } else if (key == "controlID") {
        t.controlID = controlIDIn(value);
    } else if (key == "refCon") {
        t.refCon = integerIn<SInt32>(value, key);
    } else if (key == "defaultItem" && allowItems) {
        t.defaultItem = integerIn<DialogItemIndex>(value, key);
    } else if (key == "cancelItem" && allowItems) {
        t.cancelItem = integerIn<DialogItemIndex>(value, key);
    } else if (key == "items" && allowItems) {
        if (plist_get_node_type(value) != PLIST_ARRAY) throw ParseError{"items must be an array"};
        for (uint32_t i = 0; i < plist_array_get_size(value); ++i) {
            try {
                t.items.push_back(templateIn(plist_array_get_item(value, i), false));
            } catch (const ParseError& error) {
                throw ParseError{"item " + std::to_string(i + 1) + ": " + error.message};
            }
        }
    } else {
        throw ParseError{"unknown key \"" + key + "\""};
    }
}

ControlTemplate templateIn(plist_t node, bool allowItems) {
    if (plist_get_node_type(node) != PLIST_DICT) throw ParseError{"must be a dictionary"};
    ControlTemplate t;
    bool hasKind = false;
    bool hasBounds = false;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &rawKey, &value);
        if (!rawKey) break;
        const std::string key = rawKey;
        std::free(rawKey);
        try {
            readKey(t, key, value, allowItems);
        } catch (...) {
            std::free(iter);
            throw;
        }
        hasKind = hasKind || key == "kind";
        hasBounds = hasBounds || key == "bounds";
    }
    std::free(iter);
    if (!hasKind) throw ParseError{"kind is missing"};
    if (!hasBounds) throw ParseError{"bounds are missing"};
    if (t.isDialog && !allowItems) throw ParseError{"a dialog cannot be an item"};
    if (!t.isDialog && (!t.items.empty() || t.defaultItem != 0 || t.cancelItem != 0))
        throw ParseError{"only a dialog has items"};
    const auto itemCount = static_cast<DialogItemIndex>(t.items.size());
    if (t.defaultItem < 0 || t.defaultItem > itemCount || t.cancelItem < 0 ||
        t.cancelItem > itemCount)
        throw ParseError{"defaultItem and cancelItem must name items"};
    return t;
}

SInt16 templateNumber(const std::string& key) {
    std::size_t used = 0;
    long number = 0;
    try {
        number = std::stol(key, &used);
    } catch (...) {
        used = 0;
    }
    if (used != key.size() || key.empty() || number < std::numeric_limits<SInt16>::min() ||
        number > std::numeric_limits<SInt16>::max())
        throw ParseError{"\"" + key + "\" is not a template number"};
    return static_cast<SInt16>(number);
}

}  // namespace

std::optional<LayoutResource> ReadLayoutResource(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& message) -> std::optional<LayoutResource> {
        if (error) *error = path + ": " + message;
        return std::nullopt;
    };
    std::ifstream file(path, std::ios::binary);
    if (!file) return fail("cannot be opened");
    std::ostringstream contents;
    contents << file.rdbuf();
    const std::string bytes = contents.str();
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max())
        return fail("is not a property list");
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
    const PlistPtr root(raw);
    if (!root) return fail("is not a property list");
    if (plist_get_node_type(root.get()) != PLIST_DICT) return fail("must hold a dictionary");

    LayoutResource layout;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root.get(), &iter);
    std::optional<std::string> problem;
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root.get(), iter, &rawKey, &value);
        if (!rawKey) break;
        const std::string key = rawKey;
        std::free(rawKey);
        try {
            const SInt16 number = templateNumber(key);
            layout[number] = templateIn(value, true);
        } catch (const ParseError& parseError) {
            problem = "template " + key + ": " + parseError.message;
            break;
        }
    }
    std::free(iter);
    if (problem) return fail(*problem);
    return layout;
}

}  // namespace qor::toolbox
