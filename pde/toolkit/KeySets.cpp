// Key-set records, the key-set list, and the option lists read from the PPD library.
#include "KeySets.h"

#include <utility>

const std::string* KeySetInfoGetStringRef(const KeySetInfo* info) {
    return info != nullptr ? &info->keyStringRef : nullptr;
}
void KeySetInfoSetStringRef(KeySetInfo* info, std::string value) {
    if (info != nullptr) info->keyStringRef = std::move(value);
}
const KeywordInfoList* KeySetInfoGetInfoArrayRef(const KeySetInfo* info) {
    return info != nullptr ? &info->PPDkeyInfoArrayRef : nullptr;
}
void KeySetInfoSetInfoArrayRef(KeySetInfo* info, KeywordInfoList value) {
    if (info != nullptr) info->PPDkeyInfoArrayRef = std::move(value);
}
const UISet* KeySetInfoGetUISetRef(const KeySetInfo* info) {
    return info != nullptr ? &info->PPDUISetRef : nullptr;
}
void KeySetInfoSetUISetRef(KeySetInfo* info, const UISet& value) {
    if (info != nullptr) info->PPDUISetRef = value;
}
ControlRef KeySetInfoGetControlRef(const KeySetInfo* info) {
    return info != nullptr ? info->keyControlRef : nullptr;
}
void KeySetInfoSetControlRef(KeySetInfo* info, ControlRef control) {
    if (info != nullptr) info->keyControlRef = control;
}
MenuRef KeySetInfoGetMenuRef(const KeySetInfo* info) {
    return info != nullptr ? info->keyMenuRef : nullptr;
}
void KeySetInfoSetMenuRef(KeySetInfo* info, MenuRef menu) {
    if (info != nullptr) info->keyMenuRef = menu;
}
std::int16_t KeySetInfoGetDefaultRef(const KeySetInfo* info) {
    return info != nullptr ? info->keyDefault : 0;
}
void KeySetInfoSetDefaultRef(KeySetInfo* info, std::int16_t value) {
    if (info != nullptr) info->keyDefault = value;
}

KeySetInfo* KeySetInfoRetain(const KeySetInfo* info) {
    return info != nullptr ? std::make_unique<KeySetInfo>(*info).release() : nullptr;
}

void KeySetInfoReleasae(KeySetInfo* info) {
    std::unique_ptr<KeySetInfo> owned(info);
}

bool KeySetInfoEqual(const KeySetInfo* a, const KeySetInfo* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return *a == *b;
}

const KeySetListCallBacks keyStructValueCallBacks = {KeySetInfoRetain, KeySetInfoReleasae,
                                                     KeySetInfoEqual};

KeySetInfo* KeySetList::at(std::size_t index) const {
    return index < records_.size() ? records_[index].get() : nullptr;
}

void KeySetList::append(const KeySetInfo& info) {
    records_.emplace_back(keyStructValueCallBacks.retain(&info));
}

void KeySetList::removeAt(std::size_t index) {
    if (index < records_.size())
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::ptrdiff_t KeySetList::indexOf(const KeySetInfo& info) const {
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (keyStructValueCallBacks.equal(records_[i].get(), &info))
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

OSStatus GetUIListFromPPD(PPDContextViel context, KeywordInfoList* list, const xUIHeader* header,
                          std::int16_t* defaultValue) {
    std::int16_t result = 1;
    if (list != nullptr && header != nullptr && header->mainKeyIndex != 0 &&
        header->numOptions != 0) {
        // No default text means no option can match it, and the default stays 1.
        Str255 defaultText = {};
        bool haveDefault =
            ppdGetOptionAlias(context, header->mainKeyIndex, header->defaultOption, defaultText);
        xUIOption option;
        option.version = kPPDUIRecordVersion;
        for (std::int16_t i = 0; i < header->numOptions; ++i) {
            if (!ppdGetIndUIOption(context, header->mainKeyIndex, i, &option)) continue;
            Str255 translation = {};
            if (!ppdGetOptionAlias(context, header->mainKeyIndex, option.optionKeyIndex,
                                   translation))
                continue;
            KeywordInfoArray entry;
            PPDIndexToKeywordInfoArray(context, header->mainKeyIndex, option.optionKeyIndex,
                                       translation, option.forbidden, &entry);
            list->push_back(std::move(entry));
            if (haveDefault && StringFromPString(translation) == StringFromPString(defaultText)) {
                if (header->pickConstraint == kPPDBoolean)
                    result = StringFromPString(defaultText) == "On" ? 1 : 0;
                else
                    result = static_cast<std::int16_t>(i + 1);
            }
        }
    }
    if (defaultValue != nullptr) *defaultValue = result;
    return 0;
}

OSStatus PPDIndexToKeywordInfoArray(PPDContextViel context, std::int16_t mainKeyIndex,
                                    std::int16_t optionKeyIndex, ConstStr255Param translation,
                                    bool forbidden, KeywordInfoArray* out) {
    if (out == nullptr) return 0;
    Str255 mainKeyword = {};
    Str255 optionKeyword = {};
    ppdGetMainString(context, mainKeyIndex, mainKeyword);
    ppdGetOptionString(context, optionKeyIndex, optionKeyword);
    *out = {StringFromPString(mainKeyword), StringFromPString(optionKeyword),
            StringFromPString(translation),
            std::string(forbidden ? kForbiddenTrue : kForbiddenFalse)};
    return 0;
}

void SaveUIHeaderSet(const xUIHeader* header, UISet* out) {
    if (header == nullptr || out == nullptr) return;
    *out = {header->mainKeyIndex, header->groupKeyIndex, header->pickConstraint,
            header->numOptions};
}

std::int16_t FindPPDKeyPairsMatch(const KeywordInfoList* list, std::string_view mainKeyword,
                                  std::string_view optionKeyword) {
    if (list == nullptr) return -1;
    for (std::size_t i = 0; i < list->size() && i <= 0x7FFF; ++i) {
        const KeywordInfoArray& entry = (*list)[i];
        if (entry[kInfoMainKeyword] == mainKeyword && entry[kInfoOptionKeyword] == optionKeyword)
            return static_cast<std::int16_t>(i);
    }
    return -1;
}
