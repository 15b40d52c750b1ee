// The option panel engine: a column of controls for the PPD keywords a bundle lists, stored in
// and restored from the print settings' PPD dictionary. Each option panel is this engine with
// its own constants and additions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "KeySets.h"
#include "PDEInterface.h"
#include "PPDControls.h"
#include "PlugInFrame.h"

namespace qor::pde {

// Info.plist key of the keywords a panel shows, in display order.
inline constexpr std::string_view kPMPPDKeysSupportedKey = "PMPPDKeysSupported";
// The system text encoding of this platform (UTF-8), which Initialize puts in the context.
inline constexpr std::uint32_t kPDETextEncodingSystem = 0x08000100u;

struct OptionPanelParameters {
    SInt32 controlIDBase;    // control i gets base + 10 * i, its popup menu one more
    OSStatus declineResult;  // not the maker's printer, or none of the keywords in its PPD
};

// The fields of a panel's context that the engine works on.
struct OptionPanelFields {
    PDEContextHead& head;
    Rect& currentContrlRect;
    std::int16_t& lastControlType;
    std::unique_ptr<KeySetList>& PPDKeySetInfoRef;
};

// What a panel adds to the engine; each step may be left empty.
struct OptionPanelAdditions {
    // Runs once the installed options are marked; a non-zero result ends Initialize with it.
    std::function<OSStatus(PPDContextViel)> installedGate;
    // Around the making of each key set's control.
    std::function<void()> beforeControl;
    std::function<void(KeySetInfo&)> afterControl;
    // Before the controls are stored in the print settings.
    std::function<void()> beforeStore;
};

// Where a checkbox's value and its keyword's options meet: the value is the option's position,
// except that a keyword listing "On" first has its two positions turned round, so that a
// checked box always stands for the option that reads "On".
std::size_t CheckBoxOptionPosition(const KeywordInfoList& options, SInt32 value);
SInt32 CheckBoxValueForPosition(const KeywordInfoList& options, std::size_t position);

OSStatus OptionPanelInitialize(const OptionPanelFields& fields,
                               const OptionPanelParameters& parameters,
                               const OptionPanelAdditions& additions, PMPDEFlags* flags,
                               ControlRef parentUserPane, PMPrintSession printSession);
OSStatus OptionPanelSync(const OptionPanelFields& fields, const OptionPanelAdditions& additions,
                         PMPrintSession printSession, Boolean syncDirection);
OSStatus OptionPanelGetSummaryText(const OptionPanelFields& fields, QorArrayRef* titleArray,
                                   QorArrayRef* summaryArray);
// Frees the key sets and the menus made for them.
void OptionPanelFreeKeySets(const OptionPanelFields& fields);

// The context of a panel that is the engine alone.
struct OptionPanelContext : PDEContextHead {
    Rect currentContrlRect{0, 0, 10, 10};
    std::int16_t lastControlType = 0;
    std::unique_ptr<KeySetList> PPDKeySetInfoRef;
};

// The entry points the plug-in frame asks of a panel, for a panel Derived that provides
//   kConstants, kParameters, Context (with the fields of OptionPanelFields), and optionally
//   static OptionPanelAdditions Additions(Context&) and static void TerminateAdditions(Context&).
template <typename Derived>
struct OptionPanel {
    template <typename Context>
    static OptionPanelFields Fields(Context& c) {
        return {c, c.currentContrlRect, c.lastControlType, c.PPDKeySetInfoRef};
    }

    template <typename Context>
    static OptionPanelAdditions AdditionsOf(Context& c) {
        if constexpr (requires { Derived::Additions(c); })
            return Derived::Additions(c);
        else
            return {};
    }

    template <typename Context>
    static OSStatus InitContext(Context& c) {
        c.lastControlType = 0;
        c.currentContrlRect = Rect{0, 0, 10, 10};
        c.PPDKeySetInfoRef.reset();
        return kPDENoErr;
    }

    template <typename Context>
    static OSStatus Initialize(Context* c, PMPDEFlags* flags, std::int32_t, ControlRef pane,
                               PMPrintSession session) {
        if (c == nullptr) return kPDENoContextErr;
        return OptionPanelInitialize(Fields(*c), Derived::kParameters, AdditionsOf(*c), flags, pane,
                                     session);
    }

    template <typename Context>
    static OSStatus Sync(Context* c, PMPrintSession session, Boolean syncDirection) {
        if (c == nullptr) return kPDESyncNoSessionErr;
        return OptionPanelSync(Fields(*c), AdditionsOf(*c), session, syncDirection);
    }

    template <typename Context>
    static OSStatus GetSummaryText(Context* c, QorArrayRef* titles, QorArrayRef* summaries) {
        if (titles != nullptr) *titles = nullptr;
        if (summaries != nullptr) *summaries = nullptr;
        if (c == nullptr) return kPDENoContextErr;
        return OptionPanelGetSummaryText(Fields(*c), titles, summaries);
    }

    template <typename Context>
    static void Terminate(Context& c) {
        if constexpr (requires { Derived::TerminateAdditions(c); }) Derived::TerminateAdditions(c);
        OptionPanelFreeKeySets(Fields(c));
    }
};

}  // namespace qor::pde
