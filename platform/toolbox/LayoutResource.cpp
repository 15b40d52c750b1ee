// Reads a bundle's layout resource (Resources/Layout.plist): its control and dialog templates.
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
#include <cstdio>
#include <filesystem>
#include <limits>
#include <mutex>

#include "PropertyList.h"
#include "Toolbox-private.h"

namespace qor::toolbox {

namespace {

using qor::core::Array;
using qor::core::Dictionary;
using qor::core::Value;

struct ParseError {
    std::string message;
};

template <typename Int>
Int integerIn(const Value& value, const std::string& key) {
    const std::int64_t* number = value.asInteger();
    if (!number) throw ParseError{key + " must be an integer"};
    if (*number < std::numeric_limits<Int>::min() || *number > std::numeric_limits<Int>::max())
        throw ParseError{key + " is out of range"};
    return static_cast<Int>(*number);
}

bool booleanIn(const Value& value, const std::string& key) {
    const bool* flag = value.asBoolean();
    if (!flag) throw ParseError{key + " must be a boolean"};
    return *flag;
}

const std::string& stringIn(const Value& value, const std::string& key) {
    const std::string* text = value.asString();
    if (!text) throw ParseError{key + " must be a string"};
    return *text;
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

Rect boundsIn(const Value& value) {
    const Array* sides = value.asArray();
    if (!sides || sides->size() != 4) throw ParseError{"bounds must be an array of four integers"};
    return Rect{integerIn<short>((*sides)[0], "bounds"), integerIn<short>((*sides)[1], "bounds"),
                integerIn<short>((*sides)[2], "bounds"), integerIn<short>((*sides)[3], "bounds")};
}

ControlID controlIDIn(const Value& value) {
    const Dictionary* fields = value.asDictionary();
    if (!fields) throw ParseError{"controlID must be a dictionary"};
    const Value* signature = fields->find("signature");
    const Value* id = fields->find("id");
    if (!signature || !id) throw ParseError{"controlID needs signature and id"};
    const std::string& code = stringIn(*signature, "controlID signature");
    if (code.size() != 4) throw ParseError{"controlID signature must have four characters"};
    ControlID result;
    for (unsigned char ch : code) result.signature = (result.signature << 8) | ch;
    result.id = integerIn<SInt32>(*id, "controlID id");
    return result;
}

SInt16 justificationIn(const Value& value) {
    const std::string& name = stringIn(value, "justification");
    if (name == "left") return teFlushLeft;
    if (name == "right") return teFlushRight;
    if (name == "center") return teCenter;
    if (name == "default") return teFlushDefault;
    throw ParseError{"justification must be left, right, center or default"};
}

ControlTemplate templateIn(const Value& node, bool topLevel);

void readKey(ControlTemplate& t, const std::string& key, const Value& value, bool topLevel) {
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
    } else if (key == "defaultItem" && topLevel) {
        t.defaultItem = integerIn<DialogItemIndex>(value, key);
    } else if (key == "cancelItem" && topLevel) {
        t.cancelItem = integerIn<DialogItemIndex>(value, key);
    } else if (key == "items" && topLevel) {
        const Array* items = value.asArray();
        if (!items) throw ParseError{"items must be an array"};
        for (std::size_t i = 0; i < items->size(); ++i) {
            try {
                t.items.push_back(templateIn((*items)[i], false));
            } catch (const ParseError& error) {
                throw ParseError{"item " + std::to_string(i + 1) + ": " + error.message};
            }
        }
    } else {
        throw ParseError{"unknown key \"" + key + "\""};
    }
}

ControlTemplate templateIn(const Value& node, bool topLevel) {
    const Dictionary* fields = node.asDictionary();
    if (!fields) throw ParseError{"must be a dictionary"};
    ControlTemplate t;
    for (const auto& [key, value] : *fields) readKey(t, key, value, topLevel);
    if (!fields->contains("kind")) throw ParseError{"kind is missing"};
    if (!fields->contains("bounds")) throw ParseError{"bounds are missing"};
    if (t.isDialog && !topLevel) throw ParseError{"a dialog cannot be an item"};
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
    std::string readError;
    const auto root = qor::core::readPropertyListFile(path, &readError);
    if (!root) {
        // The reader names the file itself; say it once.
        const std::string named = path + ": ";
        if (readError.starts_with(named)) readError.erase(0, named.size());
        return fail("is not a property list" + (readError.empty() ? "" : " (" + readError + ")"));
    }
    const Dictionary* templates = root->asDictionary();
    if (!templates) return fail("must hold a dictionary");
    LayoutResource layout;
    for (const auto& [key, value] : *templates) {
        try {
            layout[templateNumber(key)] = templateIn(value, true);
        } catch (const ParseError& parseError) {
            return fail("template " + key + ": " + parseError.message);
        }
    }
    return layout;
}

const LayoutResource& LayoutOfResourceMap(const std::filesystem::path& resources) {
    struct Cached {
        std::filesystem::file_time_type modified;
        LayoutResource layout;
    };
    static std::mutex mutex;
    static std::map<std::filesystem::path, Cached> cache;
    static const LayoutResource none;
    const auto path = resources / "Layout.plist";
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(path, ec);
    if (ec) return none;
    std::lock_guard lock(mutex);
    auto found = cache.find(path);
    if (found != cache.end() && found->second.modified == modified) return found->second.layout;
    std::string error;
    auto layout = ReadLayoutResource(path.string(), &error);
    // A bad file is reported once (until it changes) and then has no templates.
    if (!layout) std::fprintf(stderr, "ERROR: %s\n", error.c_str());
    auto& entry = cache[path];
    entry = {modified, layout ? std::move(*layout) : LayoutResource{}};
    return entry.layout;
}

}  // namespace qor::toolbox
