// The compiled-PPD library over libcups's PPD reader: keyword and option indices, UI records,
// translations, values and the installed-option marks.
#include "PPDLib.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

// libcups marks its whole PPD API deprecated in favour of IPP printer attributes, which do not
// describe a PPD's keywords; this file is the one place that reads PPDs, so the warning is
// silenced here alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace {

constexpr std::size_t kMaxIndex = std::numeric_limits<std::int16_t>::max();

// One main keyword: a UI keyword has its option; every keyword may have PPD attributes of the
// same name (a maker's own plain values, such as an identifier, are attributes only).
struct MainKey {
    std::string name;
    ppd_option_t* option = nullptr;
    std::int16_t groupIndex = 0;
    std::vector<bool> forbidden;  // by choice position, filled by setInstallableOptions
};

}  // namespace

struct PPDContextRecord {
    ppd_file_t* ppd = nullptr;
    std::vector<MainKey> mainKeys;  // main index i is mainKeys[i - 1]
    std::unordered_map<std::string, std::int16_t> mainIndex;
    std::vector<std::string> optionKeys;  // option key index i is optionKeys[i - 1]
    std::unordered_map<std::string, std::int16_t> optionIndex;

    ~PPDContextRecord() {
        if (ppd != nullptr) ppdClose(ppd);
    }
};

namespace {

std::int16_t addKey(std::vector<std::string>* names,
                    std::unordered_map<std::string, std::int16_t>* index, const std::string& name) {
    auto found = index->find(name);
    if (found != index->end()) return found->second;
    // Keys past the 16-bit index range cannot be named through this interface.
    if (names->size() >= kMaxIndex) return 0;
    names->push_back(name);
    auto i = static_cast<std::int16_t>(names->size());
    index->emplace(name, i);
    return i;
}

std::int16_t addMainKey(PPDContextRecord* ctx, const std::string& name) {
    auto found = ctx->mainIndex.find(name);
    if (found != ctx->mainIndex.end()) return found->second;
    if (ctx->mainKeys.size() >= kMaxIndex) return 0;
    MainKey key;
    key.name = name;
    ctx->mainKeys.push_back(std::move(key));
    auto i = static_cast<std::int16_t>(ctx->mainKeys.size());
    ctx->mainIndex.emplace(name, i);
    return i;
}

// Numbers the keywords: UI keywords by group in file order, then every other main keyword.
void indexKeywords(PPDContextRecord* ctx) {
    ppd_file_t* ppd = ctx->ppd;
    std::int16_t group = 0;
    auto addGroup = [&](ppd_group_t* g) {
        if (group < static_cast<std::int16_t>(kMaxIndex)) ++group;
        for (int o = 0; o < g->num_options; ++o) {
            ppd_option_t* option = &g->options[o];
            std::int16_t i = addMainKey(ctx, option->keyword);
            if (i == 0) continue;
            MainKey& key = ctx->mainKeys[i - 1];
            if (key.option != nullptr) continue;  // a keyword opened twice keeps its first
            key.option = option;
            key.groupIndex = group;
            key.forbidden.assign(static_cast<std::size_t>(std::max(option->num_choices, 0)), false);
            for (int c = 0; c < option->num_choices; ++c)
                addKey(&ctx->optionKeys, &ctx->optionIndex, option->choices[c].choice);
        }
    };
    for (int g = 0; g < ppd->num_groups; ++g) {
        addGroup(&ppd->groups[g]);
        for (int s = 0; s < ppd->groups[g].num_subgroups; ++s)
            addGroup(&ppd->groups[g].subgroups[s]);
    }
    for (int a = 0; a < ppd->num_attrs; ++a) {
        ppd_attr_t* attr = ppd->attrs[a];
        addMainKey(ctx, attr->name);
        if (attr->spec[0] != '\0') addKey(&ctx->optionKeys, &ctx->optionIndex, attr->spec);
    }
}

MainKey* mainKey(PPDContextViel ctx, std::int16_t mainIndex) {
    if (ctx == nullptr || mainIndex <= 0 ||
        static_cast<std::size_t>(mainIndex) > ctx->mainKeys.size())
        return nullptr;
    return &ctx->mainKeys[static_cast<std::size_t>(mainIndex) - 1];
}

const std::string* optionKey(PPDContextViel ctx, std::int16_t optionKeyIndex) {
    if (ctx == nullptr || optionKeyIndex <= 0 ||
        static_cast<std::size_t>(optionKeyIndex) > ctx->optionKeys.size())
        return nullptr;
    return &ctx->optionKeys[static_cast<std::size_t>(optionKeyIndex) - 1];
}

// Position of the option keyword within a UI keyword's options, or -1.
int choicePosition(const ppd_option_t* option, const std::string& keyword) {
    for (int c = 0; c < option->num_choices; ++c)
        if (keyword == option->choices[c].choice) return c;
    return -1;
}

std::int16_t optionKeyIndexOf(PPDContextViel ctx, const char* keyword) {
    auto found = ctx->optionIndex.find(keyword);
    return found == ctx->optionIndex.end() ? 0 : found->second;
}

bool fillOption(PPDContextViel ctx, const MainKey& key, int position, xUIOption* out) {
    const ppd_choice_t& choice = key.option->choices[position];
    std::int16_t index = optionKeyIndexOf(ctx, choice.choice);
    if (index == 0) return false;
    out->optionKeyIndex = index;
    PStringFromString(choice.text[0] != '\0' ? choice.text : choice.choice, out->optionTranslation);
    out->forbidden = key.forbidden[static_cast<std::size_t>(position)];
    out->chosen = choice.marked != 0;
    out->invocation = position + 1;
    return true;
}

OSStatus writeValue(const char* value, unsigned char* buffer, std::int32_t bufferSize) {
    if (value == nullptr) return kPPDNoValueErr;
    std::size_t room = std::min<std::size_t>(255, static_cast<std::size_t>(bufferSize) - 1);
    std::size_t length = std::min(std::strlen(value), room);
    buffer[0] = static_cast<unsigned char>(length);
    std::memcpy(buffer + 1, value, length);
    return kPPDNoErr;
}

}  // namespace

void PStringFromString(std::string_view text, Str255 out) {
    std::size_t length = std::min<std::size_t>(text.size(), 255);
    out[0] = static_cast<unsigned char>(length);
    std::memcpy(out + 1, text.data(), length);
}

std::string StringFromPString(ConstStr255Param text) {
    if (text == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

OSStatus ppdOpenCompiledPPDFromFile(const char* path, PPDContextViel* context) {
    if (path == nullptr || context == nullptr) return kPPDParamErr;
    ppd_file_t* ppd = ppdOpenFile(path);
    if (ppd == nullptr) return kPPDOpenErr;
    auto ctx = std::make_unique<PPDContextRecord>();
    ctx->ppd = ppd;
    ppdMarkDefaults(ppd);
    indexKeywords(ctx.get());
    *context = ctx.release();
    return kPPDNoErr;
}

void ppdCloseCompiledPPD(PPDContextViel context) {
    std::unique_ptr<PPDContextRecord> owned(context);
}

OSStatus ppdCopyQueuePPD(const char* queueName, std::string* path) {
    if (queueName == nullptr || path == nullptr) return kPPDParamErr;
    char buffer[1024] = "";
    time_t modified = 0;
    if (cupsGetPPD3(CUPS_HTTP_DEFAULT, queueName, &modified, buffer, sizeof buffer) !=
        HTTP_STATUS_OK)
        return kPPDFileNotFoundErr;
    *path = buffer;
    return kPPDNoErr;
}

OSStatus ppdCloseCompiledPPDFromTicket(PPDContextViel context, PPDFileRef file) {
    std::unique_ptr<PPDFileRecord> ownedFile(file);
    if (context == nullptr) return kPPDParamErr;
    ppdCloseCompiledPPD(context);
    return kPPDNoErr;
}

OSStatus setInstallableOptions(PPDContextViel context, PMTicketRef /*printerInfo*/) {
    if (context == nullptr) return kPPDParamErr;
    ppd_file_t* ppd = context->ppd;
    // The installed options are the queue's settings of the installable group, which its PPD
    // carries as defaults; mark them again in case a caller changed the marks since the open.
    for (int g = 0; g < ppd->num_groups; ++g) {
        ppd_group_t& group = ppd->groups[g];
        if (std::strcmp(group.name, "InstallableOptions") != 0) continue;
        for (int o = 0; o < group.num_options; ++o)
            if (group.options[o].defchoice[0] != '\0')
                ppdMarkOption(ppd, group.options[o].keyword, group.options[o].defchoice);
    }
    for (MainKey& key : context->mainKeys) {
        if (key.option == nullptr) continue;
        for (int c = 0; c < key.option->num_choices; ++c)
            key.forbidden[static_cast<std::size_t>(c)] =
                ppdInstallableConflict(ppd, key.option->keyword, key.option->choices[c].choice) !=
                0;
    }
    return kPPDNoErr;
}

std::int16_t ppdGetMainIndex(PPDContextViel context, ConstStr255Param mainKeyword) {
    if (context == nullptr || mainKeyword == nullptr) return 0;
    auto found = context->mainIndex.find(StringFromPString(mainKeyword));
    return found == context->mainIndex.end() ? 0 : found->second;
}

std::int16_t ppdGetUIKeyType(PPDContextViel context, std::int16_t mainIndex) {
    const MainKey* key = mainKey(context, mainIndex);
    return key != nullptr && key->option != nullptr ? kPPDUIKey : kPPDNotUIKey;
}

std::int16_t ppdCountUIOptions(PPDContextViel context, std::int16_t mainIndex) {
    const MainKey* key = mainKey(context, mainIndex);
    if (key == nullptr || key->option == nullptr) return 0;
    return static_cast<std::int16_t>(std::clamp<int>(key->option->num_choices, 0, kMaxIndex));
}

bool ppdGetUIHeader(PPDContextViel context, std::int16_t mainIndex, xUIHeader* header) {
    const MainKey* key = mainKey(context, mainIndex);
    if (key == nullptr || key->option == nullptr || header == nullptr) return false;
    const ppd_option_t* option = key->option;
    header->mainKeyIndex = mainIndex;
    PStringFromString(option->text[0] != '\0' ? option->text : option->keyword,
                      header->mainKeyTranslation);
    header->groupKeyIndex = key->groupIndex;
    header->queryInvocation = 0;
    int defaultPosition = choicePosition(option, option->defchoice);
    header->defaultOption = defaultPosition < 0 ? 0 : optionKeyIndexOf(context, option->defchoice);
    switch (option->ui) {
        case PPD_UI_BOOLEAN:
            header->pickConstraint = kPPDBoolean;
            break;
        case PPD_UI_PICKMANY:
            header->pickConstraint = kPPDPickMany;
            break;
        default:
            header->pickConstraint = kPPDPickOne;
            break;
    }
    header->numOptions = ppdCountUIOptions(context, mainIndex);
    return true;
}

bool ppdGetIndUIOption(PPDContextViel context, std::int16_t mainIndex, std::int16_t position,
                       xUIOption* option) {
    const MainKey* key = mainKey(context, mainIndex);
    if (key == nullptr || key->option == nullptr || option == nullptr ||
        option->version != kPPDUIRecordVersion || position < 0 ||
        position >= key->option->num_choices)
        return false;
    return fillOption(context, *key, position, option);
}

bool ppdGetUIOption(PPDContextViel context, std::int16_t mainIndex, std::int16_t optionKeyIndex,
                    xUIOption* option) {
    const MainKey* key = mainKey(context, mainIndex);
    const std::string* keyword = optionKey(context, optionKeyIndex);
    if (key == nullptr || key->option == nullptr || keyword == nullptr || option == nullptr ||
        option->version != kPPDUIRecordVersion)
        return false;
    int position = choicePosition(key->option, *keyword);
    return position >= 0 && fillOption(context, *key, position, option);
}

std::int16_t ppdGetOptionIndex(PPDContextViel context, ConstStr255Param optionKeyword) {
    if (context == nullptr || optionKeyword == nullptr) return 0;
    return optionKeyIndexOf(context, StringFromPString(optionKeyword).c_str());
}

bool ppdGetOptionAlias(PPDContextViel context, std::int16_t mainIndex, std::int16_t optionKeyIndex,
                       Str255 text) {
    const MainKey* key = mainKey(context, mainIndex);
    const std::string* keyword = optionKey(context, optionKeyIndex);
    if (key == nullptr || keyword == nullptr || text == nullptr) return false;
    if (key->option != nullptr) {
        int position = choicePosition(key->option, *keyword);
        if (position < 0) return false;
        const ppd_choice_t& choice = key->option->choices[position];
        PStringFromString(choice.text[0] != '\0' ? choice.text : choice.choice, text);
        return true;
    }
    // A plain keyword's options are its attributes' specifiers.
    ppd_attr_t* attr = ppdFindAttr(context->ppd, key->name.c_str(), keyword->c_str());
    if (attr == nullptr) return false;
    PStringFromString(attr->text[0] != '\0' ? attr->text : attr->spec, text);
    return true;
}

bool ppdGetMainString(PPDContextViel context, std::int16_t mainIndex, Str255 text) {
    const MainKey* key = mainKey(context, mainIndex);
    if (key == nullptr || text == nullptr) return false;
    PStringFromString(key->name, text);
    return true;
}

bool ppdGetOptionString(PPDContextViel context, std::int16_t optionKeyIndex, Str255 text) {
    const std::string* keyword = optionKey(context, optionKeyIndex);
    if (keyword == nullptr || text == nullptr) return false;
    PStringFromString(*keyword, text);
    return true;
}

OSStatus ppdGetInvocationString(PPDContextViel context, std::int16_t mainIndex,
                                std::int16_t optionIndex, unsigned char* buffer,
                                std::int32_t bufferSize) {
    const MainKey* key = mainKey(context, mainIndex);
    if (key == nullptr || buffer == nullptr || bufferSize < 1) return kPPDParamErr;
    if (optionIndex == 0) {
        ppd_attr_t* attr = ppdFindAttr(context->ppd, key->name.c_str(), nullptr);
        return writeValue(attr != nullptr ? attr->value : nullptr, buffer, bufferSize);
    }
    const std::string* keyword = optionKey(context, optionIndex);
    if (keyword == nullptr) return kPPDParamErr;
    if (key->option != nullptr) {
        int position = choicePosition(key->option, *keyword);
        if (position >= 0)
            return writeValue(key->option->choices[position].code, buffer, bufferSize);
    }
    ppd_attr_t* attr = ppdFindAttr(context->ppd, key->name.c_str(), keyword->c_str());
    return writeValue(attr != nullptr ? attr->value : nullptr, buffer, bufferSize);
}

std::int16_t ppdCountMainKeys(PPDContextViel context) {
    return context == nullptr ? 0 : static_cast<std::int16_t>(context->mainKeys.size());
}

#pragma GCC diagnostic pop
