// Checks of the shipped PPDs: they pass cupstestppd and carry what the panels and filter need.
#include <cups/ppd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "RunFilter.h"

using namespace qor::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> shippedPpds() {
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(QOR_PPD_DIR)) {
        if (entry.path().extension() == ".ppd") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using Ppd = std::unique_ptr<ppd_file_t, PpdCloser>;

std::string attribute(ppd_file_t* ppd, const char* name) {
    ppd_attr_t* attr = ppdFindAttr(ppd, name, nullptr);
    return attr != nullptr && attr->value != nullptr ? attr->value : "";
}

std::vector<std::string> choices(ppd_option_t* option) {
    std::vector<std::string> names;
    for (int i = 0; option != nullptr && i < option->num_choices; ++i) {
        names.push_back(option->choices[i].choice);
    }
    return names;
}

bool announces(ppd_file_t* ppd, const std::string& feature) {
    const std::string features = attribute(ppd, "QuorvanFeatures");
    size_t start = 0;
    for (;;) {
        const size_t end = features.find('_', start);
        if (features.substr(start, end - start) == feature) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

}  // namespace

TEST(ShippedPpds, PassCupstestppdWithoutWarnings) {
    // A private root holding the built filter, so the cupsFilter2 program is found.
    TempDir root;
    installFilter(root.file("usr/lib/cups/filter"));
    const auto ppds = shippedPpds();
    ASSERT_GE(ppds.size(), 2u);
    for (const auto& path : ppds) {
        const RunResult r =
            runProgram({"/usr/bin/cupstestppd", "-W", "all", "-R", root.path(), path});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, path + ": PASS\n");
    }
}

TEST(ShippedPpds, CarryTheMakersKeywordsAndTheRoutingModesInOrder) {
    bool colourWithManual = false, finisher = false, featureP = false, mono = false;
    for (const auto& path : shippedPpds()) {
        SCOPED_TRACE(path);
        Ppd ppd(ppdOpenFile(path.c_str()));
        ASSERT_TRUE(ppd);
        EXPECT_EQ(attribute(ppd.get(), "QuorvanPDEID"), "Quorvan");
        EXPECT_FALSE(attribute(ppd.get(), "QuorvanFeatures").empty());
        EXPECT_EQ(attribute(ppd.get(), "cupsFilter2"),
                  "application/vnd.cups-postscript application/vnd.cups-postscript 0 qorpstops");

        ppd_option_t* printTo = ppdFindOption(ppd.get(), "PrintTo");
        ASSERT_NE(printTo, nullptr);
        EXPECT_EQ(printTo->ui, PPD_UI_PICKONE);
        const auto modes = choices(printTo);
        ASSERT_EQ(modes.size(), 6u);
        EXPECT_EQ(
            std::vector<std::string>(modes.begin() + 1, modes.end()),
            (std::vector<std::string>{"JRFax", "JRConf", "JRRepeat", "JRReserve", "JRVerify"}));
        EXPECT_EQ(std::string(printTo->defchoice), modes[0]);

        for (const char* keyword :
             {"PageSize", "InputSlot", "Duplex", "MediaType", "OutputBin", "Resolution"}) {
            EXPECT_GE(choices(ppdFindOption(ppd.get(), keyword)).size(), 2u) << keyword;
        }

        featureP |= announces(ppd.get(), "P");
        mono |= !ppd->color_device;
        const auto correction = choices(ppdFindOption(ppd.get(), "MediaColor"));
        if (ppd->color_device &&
            std::find(correction.begin(), correction.end(), "Manual") != correction.end()) {
            colourWithManual = true;
            for (const char* manual :
                 {"ManualRGBImage", "ManualRGBText", "ManualRGBGraphics", "ManualCMYK"}) {
                EXPECT_GE(choices(ppdFindOption(ppd.get(), manual)).size(), 2u) << manual;
            }
        }
        if (ppd_option_t* out = ppdFindOption(ppd.get(), "OutputFinisher")) {
            const auto groupEnd = ppd->groups + ppd->num_groups;
            const auto installable = std::find_if(ppd->groups, groupEnd, [](const ppd_group_t& g) {
                return std::string(g.name) == "InstallableOptions";
            });
            ASSERT_NE(installable, groupEnd);
            const bool inGroup = std::any_of(
                installable->options, installable->options + installable->num_options,
                [](const ppd_option_t& o) { return std::string(o.keyword) == "OutputFinisher"; });
            EXPECT_TRUE(inGroup);
            const auto states = choices(out);
            finisher |= std::find(states.begin(), states.end(), "InstalledM") != states.end();
        }
    }
    EXPECT_TRUE(colourWithManual);
    EXPECT_TRUE(finisher);
    EXPECT_TRUE(featureP);
    EXPECT_TRUE(mono);
}
