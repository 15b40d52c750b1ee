// Key sets: the PPD main keywords a panel shows, their options and UI headers, read from the PPD.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "PPDLib.h"

struct OpaqueControlRef;
struct OpaqueMenuRef;
using ControlRef = OpaqueControlRef*;
using MenuRef = OpaqueMenuRef*;

// One option of a keyword: main keyword, option keyword, translation, and "True" or "False"
// for whether the installed options forbid it.
using KeywordInfoArray = std::array<std::string, 4>;
enum KeywordInfoField : std::size_t {
    kInfoMainKeyword = 0,
    kInfoOptionKeyword = 1,
    kInfoTranslation = 2,
    kInfoForbidden = 3
};
using KeywordInfoList = std::vector<KeywordInfoArray>;

// The four numbers of a keyword's UI header.
using UISet = std::array<std::int16_t, 4>;
enum UISetField : std::size_t {
    kUISetMainKeyIndex = 0,
    kUISetGroupKeyIndex = 1,
    kUISetPickConstraint = 2,
    kUISetNumOptions = 3
};

inline constexpr std::string_view kForbiddenTrue = "True";
inline constexpr std::string_view kForbiddenFalse = "False";

// One PPD main keyword that a panel shows as a control. The record owns its members; the
// control and menu are the toolbox's and only referred to.
struct KeySetInfo {
    std::string keyStringRef;
    KeywordInfoList PPDkeyInfoArrayRef;
    UISet PPDUISetRef{};
    ControlRef keyControlRef = nullptr;
    MenuRef keyMenuRef = nullptr;
    std::int16_t keyDefault = 0;

    bool operator==(const KeySetInfo&) const = default;
};

// Accessors; getters give null (or 0) for a null record, setters ignore one.
const std::string* KeySetInfoGetStringRef(const KeySetInfo* info);
void KeySetInfoSetStringRef(KeySetInfo* info, std::string value);
const KeywordInfoList* KeySetInfoGetInfoArrayRef(const KeySetInfo* info);
void KeySetInfoSetInfoArrayRef(KeySetInfo* info, KeywordInfoList value);
const UISet* KeySetInfoGetUISetRef(const KeySetInfo* info);
void KeySetInfoSetUISetRef(KeySetInfo* info, const UISet& value);
ControlRef KeySetInfoGetControlRef(const KeySetInfo* info);
void KeySetInfoSetControlRef(KeySetInfo* info, ControlRef control);
MenuRef KeySetInfoGetMenuRef(const KeySetInfo* info);
void KeySetInfoSetMenuRef(KeySetInfo* info, MenuRef menu);
std::int16_t KeySetInfoGetDefaultRef(const KeySetInfo* info);
void KeySetInfoSetDefaultRef(KeySetInfo* info, std::int16_t value);

// Element operations of a key-set list: copy on insertion, free on removal, compare.
struct KeySetListCallBacks {
    KeySetInfo* (*retain)(const KeySetInfo* info);
    void (*release)(KeySetInfo* info);
    bool (*equal)(const KeySetInfo* a, const KeySetInfo* b);
};
KeySetInfo* KeySetInfoRetain(const KeySetInfo* info);
void KeySetInfoReleasae(KeySetInfo* info);
bool KeySetInfoEqual(const KeySetInfo* a, const KeySetInfo* b);
extern const KeySetListCallBacks keyStructValueCallBacks;

// A panel's key sets in display order. Each inserted record is copied, so the list's records
// are its own.
class KeySetList {
  public:
    KeySetList() = default;
    KeySetList(const KeySetList&) = delete;
    KeySetList& operator=(const KeySetList&) = delete;

    std::size_t count() const { return records_.size(); }
    // The list's own record at index, null past the end.
    KeySetInfo* at(std::size_t index) const;
    void append(const KeySetInfo& info);
    void removeAt(std::size_t index);
    // Position of the first record equal to info, or -1.
    std::ptrdiff_t indexOf(const KeySetInfo& info) const;

  private:
    struct Releaser {
        void operator()(KeySetInfo* info) const { keyStructValueCallBacks.release(info); }
    };
    std::vector<std::unique_ptr<KeySetInfo, Releaser>> records_;
};

// Fills list with the keyword info arrays of header's keyword and works out its default
// control value: the 1-based position of the PPD default for a popup, 1 or 0 for an on/off
// keyword by whether the default reads "On". Options the library cannot describe are left out.
OSStatus GetUIListFromPPD(PPDContextViel context, KeywordInfoList* list, const xUIHeader* header,
                          std::int16_t* defaultValue);
OSStatus PPDIndexToKeywordInfoArray(PPDContextViel context, std::int16_t mainKeyIndex,
                                    std::int16_t optionKeyIndex, ConstStr255Param translation,
                                    bool forbidden, KeywordInfoArray* out);
void SaveUIHeaderSet(const xUIHeader* header, UISet* out);
// Position of the first entry with exactly this main and option keyword, or -1.
std::int16_t FindPPDKeyPairsMatch(const KeywordInfoList* list, std::string_view mainKeyword,
                                  std::string_view optionKeyword);
