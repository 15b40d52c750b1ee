// Builds the PJL job header lines from the option store.
#include "pjlCreation.h"

#include <unistd.h>

#include <climits>

#include "JobRoutingOptions.h"

namespace qor {
namespace {

std::string quoted(std::string_view value) {
    std::string text(1, '"');
    text += pjlQuotable(value);
    text += '"';
    return text;
}

std::string optionValue(const argumentStore& store, std::string_view name) {
    const std::string* value = store.getValue(name);
    return value != nullptr ? *value : std::string();
}

}  // namespace

std::string pjlQuotable(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) continue;
        out += c == '"' ? '\'' : c;
    }
    return out;
}

std::string shortHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "localhost";
    std::string_view host(name);
    return std::string(host.substr(0, host.find('.')));
}

pjlCreation pjlCreation::initFromArgsStore(const argumentStore& store, std::string_view userID) {
    return initFromArgsStore(store, userID, shortHostName());
}

pjlCreation pjlCreation::initFromArgsStore(const argumentStore& store, std::string_view userID,
                                           std::string_view hostName) {
    pjlCreation header;
    auto& lines = header.pjlLines_;
    lines.push_back(std::string(kUEL) + "@PJL JOB\n");
    lines.push_back("@PJL LJOBINFO USERID = " + quoted(userID) + " HOSTID = " + quoted(hostName) +
                    "\n");
    const std::string* userName = store.getValue(jr::kUserName);
    lines.push_back("@PJL SET USERNAME = " + quoted(userName ? *userName : userID) + "\n");

    const std::string* printTo = store.getValue(jr::kPrintTo);
    if (printTo == nullptr) return header;

    const std::string_view mode = *printTo;
    if (mode == jr::kModeFax) {
        lines.push_back("@PJL LFAX PHONENUMBER = " + quoted(optionValue(store, jr::kPhoneNumber)) +
                        " STATIONID = " + quoted(optionValue(store, jr::kStationID)) + "\n");
        lines.push_back("@PJL SETLFAXRESOLUTION = FINE\n");
    } else if (mode == jr::kModeConf) {
        lines.push_back("@PJL SET HOLD = ON\n");
        lines.push_back("@PJL SET HOLDTYPE = PRIVATE\n");
        lines.push_back("@PJL SET HOLDKEY = " + quoted(optionValue(store, jr::kHoldKey)) + "\n");
    } else if (mode == jr::kModeRepeat) {
        lines.push_back("@PJL SET HOLD = ON\n");
        lines.push_back("@PJL SET HOLDTYPE = PUBLIC\n");
    } else if (mode == jr::kModeReserve) {
        lines.push_back("@PJL SET HOLD = STORE\n");
        lines.push_back("@PJL SET HOLDTYPE = PUBLIC\n");
    } else if (mode == jr::kModeVerify) {
        lines.push_back("@PJL SET HOLD = PROOF\n");
        lines.push_back("@PJL SET HOLDTYPE = PUBLIC\n");
    }
    lines.push_back("@PJL ENTER LANGUAGE = POSTSCRIPT\n");
    return header;
}

}  // namespace qor
