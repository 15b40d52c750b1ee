// Tests of the PPD library: indices, UI records, translations, values and installed options.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PPDLib.h"
#include "PrintSession.h"

namespace {

struct ContextCloser {
    void operator()(PPDContextRecord* ctx) const { ppdCloseCompiledPPD(ctx); }
};
using Context = std::unique_ptr<PPDContextRecord, ContextCloser>;

Context open(const std::string& path) {
    PPDContextViel ctx = nullptr;
    EXPECT_EQ(ppdOpenCompiledPPDFromFile(path.c_str(), &ctx), kPPDNoErr) << path;
    return Context(ctx);
}

const std::string kOffice = std::string(QOR_TEST_FIXTURES) + "/office.ppd";

std::int16_t mainIndex(PPDContextViel ctx, const std::string& keyword) {
    Str255 key;
    PStringFromString(keyword, key);
    return ppdGetMainIndex(ctx, key);
}

std::int16_t optionIndex(PPDContextViel ctx, const std::string& keyword) {
    Str255 key;
    PStringFromString(keyword, key);
    return ppdGetOptionIndex(ctx, key);
}

std::string invocation(PPDContextViel ctx, std::int16_t main, std::int16_t option,
                       OSStatus* status) {
    unsigned char buffer[256] = {};
    *status = ppdGetInvocationString(ctx, main, option, buffer, sizeof buffer);
    return StringFromPString(buffer);
}

struct Choice {
    std::string keyword;
    std::string translation;
    bool forbidden;
};

std::vector<Choice> choices(PPDContextViel ctx, std::int16_t main) {
    std::vector<Choice> out;
    for (std::int16_t i = 0; i < ppdCountUIOptions(ctx, main); ++i) {
        xUIOption option;
        if (!ppdGetIndUIOption(ctx, main, i, &option)) continue;
        Str255 keyword;
        EXPECT_TRUE(ppdGetOptionString(ctx, option.optionKeyIndex, keyword));
        out.push_back({StringFromPString(keyword), StringFromPString(option.optionTranslation),
                       option.forbidden});
    }
    return out;
}

TEST(PPDLib, LengthPrefixedStringsAreCutAt255Bytes) {
    Str255 text;
    PStringFromString(std::string(300, 'x'), text);
    EXPECT_EQ(text[0], 255);
    EXPECT_EQ(StringFromPString(text), std::string(255, 'x'));
    EXPECT_EQ(StringFromPString(nullptr), "");
}

TEST(PPDLib, UIHeadersDescribeEachKindOfKeyword) {
    Context ctx = open(kOffice);
    ASSERT_TRUE(ctx);
    struct Case {
        const char* keyword;
        std::int16_t pick;
        std::int16_t count;
        const char* defaultOption;
    };
    for (const Case& c :
         {Case{"MediaColor", kPPDPickOne, 4, "Vivid"}, Case{"ManualCMYK", kPPDBoolean, 2, "On"},
          Case{"Resolution", kPPDPickOne, 1, "600dpi"},
          Case{"PrintTo", kPPDPickOne, 6, "JRPrinter"}}) {
        SCOPED_TRACE(c.keyword);
        std::int16_t main = mainIndex(ctx.get(), c.keyword);
        ASSERT_GT(main, 0);
        EXPECT_EQ(ppdGetUIKeyType(ctx.get(), main), kPPDUIKey);
        EXPECT_EQ(ppdCountUIOptions(ctx.get(), main), c.count);
        xUIHeader header;
        ASSERT_TRUE(ppdGetUIHeader(ctx.get(), main, &header));
        EXPECT_EQ(header.mainKeyIndex, main);
        EXPECT_EQ(header.pickConstraint, c.pick);
        EXPECT_EQ(header.numOptions, c.count);
        EXPECT_GT(header.groupKeyIndex, 0);
        EXPECT_EQ(header.defaultOption, optionIndex(ctx.get(), c.defaultOption));
        Str255 name;
        ASSERT_TRUE(ppdGetMainString(ctx.get(), main, name));
        EXPECT_EQ(StringFromPString(name), c.keyword);
    }
    xUIHeader header;
    std::int16_t pdeID = mainIndex(ctx.get(), "QuorvanPDEID");
    ASSERT_GT(pdeID, 0);
    EXPECT_EQ(ppdGetUIKeyType(ctx.get(), pdeID), kPPDNotUIKey);
    EXPECT_FALSE(ppdGetUIHeader(ctx.get(), pdeID, &header));
    EXPECT_EQ(mainIndex(ctx.get(), "NoSuchKeyword"), 0);
    EXPECT_EQ(mainIndex(ctx.get(), "mediacolor"), 0);
}

TEST(PPDLib, OptionsComeInFileOrderWithTheirTranslations) {
    Context ctx = open(kOffice);
    std::int16_t main = mainIndex(ctx.get(), "MediaColor");
    std::vector<Choice> got = choices(ctx.get(), main);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].keyword, "Auto");
    EXPECT_EQ(got[0].translation, "Automatic");
    EXPECT_EQ(got[3].keyword, "Manual");

    Str255 alias;
    ASSERT_TRUE(ppdGetOptionAlias(ctx.get(), main, optionIndex(ctx.get(), "Vivid"), alias));
    EXPECT_EQ(StringFromPString(alias), "Vivid Color");
    // An option keyword of another keyword is not an option of this one.
    EXPECT_FALSE(ppdGetOptionAlias(ctx.get(), main, optionIndex(ctx.get(), "JRFax"), alias));

    xUIOption option;
    ASSERT_TRUE(ppdGetUIOption(ctx.get(), main, optionIndex(ctx.get(), "Photo"), &option));
    EXPECT_EQ(StringFromPString(option.optionTranslation), "Photographic");
    EXPECT_FALSE(ppdGetIndUIOption(ctx.get(), main, 4, &option));
    EXPECT_FALSE(ppdGetIndUIOption(ctx.get(), main, -1, &option));
    option.version = 2;
    EXPECT_FALSE(ppdGetIndUIOption(ctx.get(), main, 0, &option));
}

TEST(PPDLib, InvocationStringsGivePlainValuesAndOptionCode) {
    Context ctx = open(kOffice);
    OSStatus status = 1;
    EXPECT_EQ(invocation(ctx.get(), mainIndex(ctx.get(), "QuorvanPDEID"), 0, &status), "Quorvan");
    EXPECT_EQ(status, kPPDNoErr);
    EXPECT_EQ(invocation(ctx.get(), mainIndex(ctx.get(), "QuorvanFeatures"), 0, &status), "P_Q");
    std::int16_t media = mainIndex(ctx.get(), "MediaColor");
    EXPECT_EQ(invocation(ctx.get(), media, optionIndex(ctx.get(), "Manual"), &status),
              "<</MediaColor (Manual)>>setpagedevice");
    EXPECT_EQ(status, kPPDNoErr);
    invocation(ctx.get(), 0, 0, &status);
    EXPECT_NE(status, kPPDNoErr);
    invocation(ctx.get(), media, optionIndex(ctx.get(), "JRFax"), &status);
    EXPECT_NE(status, kPPDNoErr);

    // A buffer smaller than the value gets as much of it as fits, still length-prefixed.
    unsigned char small[5] = {};
    ASSERT_EQ(ppdGetInvocationString(ctx.get(), mainIndex(ctx.get(), "QuorvanPDEID"), 0, small,
                                     sizeof small),
              kPPDNoErr);
    EXPECT_EQ(StringFromPString(small), "Quor");
}

TEST(PPDLib, InstalledOptionsForbidWhatTheyRuleOut) {
    Context ctx = open(kOffice);
    std::int16_t staple = mainIndex(ctx.get(), "Staple");
    auto forbiddenOn = [&] {
        for (const Choice& c : choices(ctx.get(), staple))
            if (c.keyword == "On") return c.forbidden;
        ADD_FAILURE() << "no Staple On";
        return false;
    };
    EXPECT_FALSE(forbiddenOn());
    ASSERT_EQ(setInstallableOptions(ctx.get(), nullptr), kPPDNoErr);
    EXPECT_TRUE(forbiddenOn());
    for (const Choice& c : choices(ctx.get(), mainIndex(ctx.get(), "MediaColor")))
        EXPECT_FALSE(c.forbidden) << c.keyword;

    xUIOption chosen;
    std::int16_t finisher = mainIndex(ctx.get(), "OutputFinisher");
    ASSERT_TRUE(
        ppdGetUIOption(ctx.get(), finisher, optionIndex(ctx.get(), "NotInstalled"), &chosen));
    EXPECT_TRUE(chosen.chosen);
    ASSERT_TRUE(ppdGetUIOption(ctx.get(), finisher, optionIndex(ctx.get(), "InstalledM"), &chosen));
    EXPECT_FALSE(chosen.chosen);
}

TEST(PPDLib, OpensFromThePrinterInformationTicket) {
    PMPrintSession session = nullptr;
    ASSERT_EQ(PMCreateSession(&session), kPMNoError);
    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "office", kOffice, "lpd://host/queue"),
              kPMNoError);
    const qor::core::Value* data = nullptr;
    ASSERT_EQ(PMSessionGetDataFromSession(session, kPDE_PMPrinterInfoRef, &data), kPMNoError);
    auto ticket = reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*data->asInteger()));

    PPDContextViel ctx = nullptr;
    PPDFileRef file = nullptr;
    ASSERT_EQ(ppdOpenCompiledPPDFromTicket(ticket, &ctx, &file), kPPDNoErr);
    EXPECT_EQ(file->path, kOffice);
    EXPECT_GT(mainIndex(ctx, "PrintTo"), 0);
    EXPECT_EQ(ppdCloseCompiledPPDFromTicket(ctx, file), kPPDNoErr);

    // A printer without a PPD, and a PPD that cannot be read, give no context.
    ctx = nullptr;
    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "bare", "", ""), kPMNoError);
    ASSERT_EQ(PMSessionGetDataFromSession(session, kPDE_PMPrinterInfoRef, &data), kPMNoError);
    ticket = reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*data->asInteger()));
    EXPECT_EQ(ppdOpenCompiledPPDFromTicket(ticket, &ctx, &file), kPPDFileNotFoundErr);
    EXPECT_EQ(ctx, nullptr);
    EXPECT_EQ(ppdOpenCompiledPPDFromFile("/nonexistent/x.ppd", &ctx), kPPDOpenErr);
    EXPECT_EQ(ctx, nullptr);
    PMRelease(session);
}

// Every keyword of a PPD, walked through every call; a PPD of any maker must survive it.
void walkAll(const std::string& path) {
    Context ctx = open(path);
    ASSERT_TRUE(ctx);
    ASSERT_EQ(setInstallableOptions(ctx.get(), nullptr), kPPDNoErr);
    std::int16_t keys = ppdCountMainKeys(ctx.get());
    ASSERT_GT(keys, 0);
    int uiKeys = 0;
    for (std::int16_t main = 1; main <= keys; ++main) {
        Str255 name;
        ASSERT_TRUE(ppdGetMainString(ctx.get(), main, name));
        EXPECT_EQ(ppdGetMainIndex(ctx.get(), name), main);
        xUIHeader header;
        if (!ppdGetUIHeader(ctx.get(), main, &header)) continue;
        ++uiKeys;
        EXPECT_EQ(choices(ctx.get(), main).size(), static_cast<std::size_t>(header.numOptions))
            << StringFromPString(name);
    }
    EXPECT_GT(uiKeys, 0);
}

TEST(PPDLib, WalksOurShippedPPDs) {
    std::filesystem::path dir = std::filesystem::path(QOR_SOURCE_DIR) / "ppd";
    std::vector<std::string> files{kOffice};
    if (std::filesystem::is_directory(dir))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            if (entry.path().extension() == ".ppd") files.push_back(entry.path().string());
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        walkAll(file);
        Context ctx = open(file);
        OSStatus status = 1;
        EXPECT_EQ(invocation(ctx.get(), mainIndex(ctx.get(), "QuorvanPDEID"), 0, &status),
                  "Quorvan");
    }
}

TEST(PPDLib, ShippedPPDsForbidWhatTheirInstalledOptionsRuleOut) {
    const std::string q2050 = std::string(QOR_SOURCE_DIR) + "/ppd/Quorvan-Q2050.ppd";
    if (!std::filesystem::exists(q2050)) GTEST_SKIP() << "shipped PPDs not present";
    Context ctx = open(q2050);
    ASSERT_EQ(setInstallableOptions(ctx.get(), nullptr), kPPDNoErr);
    struct Case {
        const char* keyword;
        const char* option;
        bool forbidden;
    };
    // The finisher is not installed and the duplex unit is.
    for (const Case& c : {Case{"Staple", "None", false}, Case{"Staple", "TopLeft", true},
                          Case{"Staple", "DualLeft", true}, Case{"Jog", "True", true},
                          Case{"Jog", "False", false}, Case{"Duplex", "DuplexNoTumble", false}}) {
        SCOPED_TRACE(std::string(c.keyword) + " " + c.option);
        xUIOption option;
        ASSERT_TRUE(ppdGetUIOption(ctx.get(), mainIndex(ctx.get(), c.keyword),
                                   optionIndex(ctx.get(), c.option), &option));
        EXPECT_EQ(option.forbidden, c.forbidden);
    }
}

TEST(PPDLib, ReadsAnotherMakersPPD) {
    const std::string path = "/usr/share/ppd/cupsfilters/pxlmono.ppd";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "cups-filters PPDs not installed";
    walkAll(path);
    Context ctx = open(path);
    EXPECT_EQ(mainIndex(ctx.get(), "QuorvanPDEID"), 0);
    EXPECT_GT(mainIndex(ctx.get(), "PageSize"), 0);
}

}  // namespace
