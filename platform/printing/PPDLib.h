// The compiled-PPD library: a printer's PPD read through libcups, by main and option key indices.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "PrintTypes.h"

// Keywords and texts cross this interface as length-prefixed strings: byte 0 is the
// length (at most 255), the text follows without a terminator.
using Str255 = unsigned char[256];
using ConstStr255Param = const unsigned char*;

// Writes text as a length-prefixed string, cut to 255 bytes.
void PStringFromString(std::string_view text, Str255 out);
// The text of a length-prefixed string; empty for null.
std::string StringFromPString(ConstStr255Param text);

// Results of the library's status calls.
inline constexpr OSStatus kPPDNoErr = 0;
inline constexpr OSStatus kPPDParamErr = -50;         // no context, bad index or buffer
inline constexpr OSStatus kPPDFileNotFoundErr = -43;  // no PPD file behind the ticket
inline constexpr OSStatus kPPDOpenErr = -9800;        // the PPD cannot be read
inline constexpr OSStatus kPPDNoValueErr = -9801;     // the keyword has no such value

// Pick constraints of a UI header.
inline constexpr std::int16_t kPPDPickOne = 0;
inline constexpr std::int16_t kPPDPickMany = 1;
inline constexpr std::int16_t kPPDBoolean = 7;

// UI key types: only keywords between OpenUI and CloseUI are UI keywords.
inline constexpr std::int16_t kPPDNotUIKey = 0;
inline constexpr std::int16_t kPPDUIKey = 1;

// The record layout the library fills; callers set version to this value.
inline constexpr std::int16_t kPPDUIRecordVersion = 1;

struct PPDContextRecord;
using PPDContextViel = PPDContextRecord*;

// What the open hands back for the close: the PPD file the context was read from.
struct PPDFileRecord {
    std::string path;
};
using PPDFileRef = PPDFileRecord*;

struct xUIHeader {
    std::int16_t version = kPPDUIRecordVersion;
    std::int16_t mainKeyIndex = 0;
    Str255 mainKeyTranslation = {};
    std::int16_t groupKeyIndex = 0;
    std::int32_t queryInvocation = 0;  // 0: the keyword has no query
    std::int16_t defaultOption = 0;    // option key index of the PPD's default, 0 when none
    std::int16_t pickConstraint = kPPDPickOne;
    std::int16_t numOptions = 0;
};

struct xUIOption {
    std::int16_t version = kPPDUIRecordVersion;
    std::int16_t optionKeyIndex = 0;
    Str255 optionTranslation = {};
    bool forbidden = false;       // ruled out by the printer's installed options
    bool chosen = false;          // marked: the PPD default, or the installed setting
    std::int32_t invocation = 0;  // 1-based position of the option within its keyword
};

// Opens the PPD named by the printer-information ticket's compiled-PPD item.
OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfo, PPDContextViel* context,
                                      PPDFileRef* file);
// Opens a PPD file directly (a queue's PPD, or a file the caller chose).
OSStatus ppdOpenCompiledPPDFromFile(const char* path, PPDContextViel* context);
OSStatus ppdCloseCompiledPPDFromTicket(PPDContextViel context, PPDFileRef file);
// Fetches a print-system queue's PPD into a temporary file that the caller removes.
OSStatus ppdCopyQueuePPD(const char* queueName, std::string* path);
// Closes a context made by ppdOpenCompiledPPDFromFile.
void ppdCloseCompiledPPD(PPDContextViel context);

// Marks the printer's installed options (the defaults of the PPD's installable options,
// which a queue's PPD holds as the administrator set them) and records which options they
// rule out.
OSStatus setInstallableOptions(PPDContextViel context, PMTicketRef printerInfo);

std::int16_t ppdGetMainIndex(PPDContextViel context, ConstStr255Param mainKeyword);
std::int16_t ppdGetUIKeyType(PPDContextViel context, std::int16_t mainIndex);
std::int16_t ppdCountUIOptions(PPDContextViel context, std::int16_t mainIndex);
bool ppdGetUIHeader(PPDContextViel context, std::int16_t mainIndex, xUIHeader* header);
bool ppdGetIndUIOption(PPDContextViel context, std::int16_t mainIndex, std::int16_t position,
                       xUIOption* option);
bool ppdGetUIOption(PPDContextViel context, std::int16_t mainIndex, std::int16_t optionKeyIndex,
                    xUIOption* option);
std::int16_t ppdGetOptionIndex(PPDContextViel context, ConstStr255Param optionKeyword);
bool ppdGetOptionAlias(PPDContextViel context, std::int16_t mainIndex, std::int16_t optionKeyIndex,
                       Str255 text);
bool ppdGetMainString(PPDContextViel context, std::int16_t mainIndex, Str255 text);
bool ppdGetOptionString(PPDContextViel context, std::int16_t optionKeyIndex, Str255 text);
// The value of mainIndex's option (0: the keyword's own value) as a length-prefixed string
// in buffer, cut to fit bufferSize.
OSStatus ppdGetInvocationString(PPDContextViel context, std::int16_t mainIndex,
                                std::int16_t optionIndex, unsigned char* buffer,
                                std::int32_t bufferSize);

// How many main keywords the context knows; their indices run from 1 to this count.
std::int16_t ppdCountMainKeys(PPDContextViel context);
