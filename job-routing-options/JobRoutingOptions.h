// Option names, routing modes and the value escaping shared by the panel and the filter.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qor::jr {

// Routing modes: the option keywords of the PPD's PrintTo, by position 1..5.
inline constexpr std::string_view kPrintTo = "PrintTo";
inline constexpr std::string_view kModeFax = "JRFax";
inline constexpr std::string_view kModeConf = "JRConf";
inline constexpr std::string_view kModeRepeat = "JRRepeat";
inline constexpr std::string_view kModeReserve = "JRReserve";
inline constexpr std::string_view kModeVerify = "JRVerify";

// Ticket items stored under this client identifier.
inline constexpr std::string_view kClientID = "JobRouting";

inline constexpr std::string_view kUserName = "JRUSERNAME";
inline constexpr std::string_view kHoldKey = "JRHOLDKEY";
inline constexpr std::string_view kJobName = "JRJOBNAME";
inline constexpr std::string_view kPhoneNumber = "JRPHONENUMBER";
inline constexpr std::string_view kStationID = "JRSTATIONID";
inline constexpr std::string_view kCoverSheet = "JRCOVERSHEET";
inline constexpr std::string_view kEncodingStr = "JRENCODINGSTR";
inline constexpr std::string_view kCSRecipient = "JRCSRECIPIENT";
inline constexpr std::string_view kCSRecVoice = "JRCSRECVOICE";
inline constexpr std::string_view kCSName = "JRCSNAME";
inline constexpr std::string_view kCSCompany = "JRCSCOMPANY";
inline constexpr std::string_view kCSAddr1 = "JRCSADDR1";
inline constexpr std::string_view kCSAddr2 = "JRCSADDR2";
inline constexpr std::string_view kCSSendFax = "JRCSSENDFAX";
inline constexpr std::string_view kCSSendVoice = "JRCSSENDVOICE";
inline constexpr std::string_view kCSEmail = "JRCSEMAIL";
inline constexpr std::array<std::string_view, 6> kCSComments = {
    "JRCSCOMMNTA", "JRCSCOMMNTB", "JRCSCOMMNTC", "JRCSCOMMNTD", "JRCSCOMMNTE", "JRCSCOMMNTF"};
inline constexpr std::string_view kCSPages = "JRCSCPAGES";

// The print system's copy count, read for the collated-copies block of Verify jobs.
inline constexpr std::string_view kCopies = "com.apple.print.PrintSettings.PMCopies..n.";

inline constexpr std::string_view kCoverSheetOn = "TRUE";
inline constexpr std::string_view kCoverSheetOff = "FALSE";

// Localization names the panel bundle lists, in the order the filter numbers them.
inline constexpr std::array<std::string_view, 15> kLocalizations = {
    "English", "French", "Italian", "German",   "Spanish", "pt",    "da",    "fi",
    "nl",      "no",     "sv",      "Japanese", "zh_TW",   "zh_CN", "Korean"};

// The escaped form of a text: space ' , < = > become "<XX>" with upper-case hex.
// Works on UTF-8; bytes beyond ASCII pass unchanged.
std::string encodeSpecialCharacters(std::string_view text);

// The panel's decoding: exact codes, in the order <20> <27> <2C> <3D> <3C> <3E>.
// Texts shorter than 4 characters are returned unchanged.
std::string decodeSpecialCharacters(std::string_view text);

// The filter's decoding: codes matched without regard to letter case, in the order
// <27> <3D> <20> <2C> <3C> <3E>. Texts shorter than 4 characters are returned unchanged.
std::string filterDecodeSpecialCharacters(std::string_view text);

}  // namespace qor::jr
