// The plug-in frame every panel bundle carries: factory, IUnknown instance, panel interface,
// Prologue/Open/Close, the context life cycle and the resource-map switch. A panel supplies
// only its constants, its context type and its own entry points (see PlugInFrame<Panel>).
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#include "Bundle.h"
#include "PDEInterface.h"
#include "ResourceMap.h"

namespace qor::pde {

// The fixed row of one panel.
struct PanelConstants {
    const char* factoryID;         // UUID string the bundle registers its factory under
    const char* kind;              // userOptionKind
    const char* titleKey;          // localized into the title; null for a panel with none
    std::uint32_t maxV;            // pane height; the width is always kPDEMaxH
    const char* bundleIdentifier;  // the panel's own bundle
};

inline constexpr PanelConstants kJobRoutingPanel{
    "9E540D84-AEDE-11D6-9C17-003065AC2B44", "com.quorvan.print.pde.JobRoutingKind", "Job Routing",
    186, "com.quorvan.print.pde.JobRouting"};
inline constexpr PanelConstants kColorPanel{"6BC212FB-9439-11D6-9487-003065AC2B44",
                                            "com.quorvan.print.pde.ColorKind", "Color", 355,
                                            "com.quorvan.print.pde.Color"};
inline constexpr PanelConstants kFinishingPanel{"EE5DEEEC-343B-11D5-803B-003065BD0B1A",
                                                "com.quorvan.print.pde.FinishingKind", "Finishing",
                                                120, "com.quorvan.print.pde.Finishing"};
inline constexpr PanelConstants kImagingPanel{"7003B530-06AD-11D6-99CB-003065478050",
                                              "com.quorvan.print.pde.ImagingKind", "Imaging", 200,
                                              "com.quorvan.print.pde.Imaging"};
// The title key is one word, unlike the panel's name.
inline constexpr PanelConstants kPaperHandlingPanel{
    "B4CD30DA-42F5-11D5-99CF-003065BD0B1A", "com.quorvan.print.pde.PaperHandlingKind",
    "PaperHandling", 182, "com.quorvan.print.pde.PaperHandling"};

// The first fields of every panel's context; a panel's context derives from it and adds
// its own fields after these.
struct PDEContextHead {
    std::int16_t theResFile = core::kNoResFile;
    ControlRef parentUserPane = nullptr;
    std::uint32_t encoding = kPDETextEncodingASCII;
    core::Bundle* theBundleRef = nullptr;  // the loaded bundle, not owned
};

// Makes a resource map current for the life of the switch and then the one before it.
class PDE_UseResFile {
  public:
    explicit PDE_UseResFile(std::int16_t resFile);
    ~PDE_UseResFile();
    PDE_UseResFile(const PDE_UseResFile&) = delete;
    PDE_UseResFile& operator=(const PDE_UseResFile&) = delete;

  private:
    std::int16_t mtheResFile;
};

// The parts of the frame that are the same for every panel.
namespace frame {

using CreateInterfaceFunction = OSStatus (*)(PlugInIntf** out);

void* CreateInstance(QorUUIDRef requestedType, const char* factoryID,
                     decltype(IUnknownVTbl::QueryInterface) queryInterface);
HRESULT QueryInterface(void* instance, REFIID iid, LPVOID* ppv,
                       CreateInterfaceFunction createInterface);
ULONG IUnknownAddRef(void* instance);
ULONG IUnknownRelease(void* instance);

OSStatus CreatePlugInInterface(PlugInIntf** out, const PlugInIntfVTable& operations);
OSStatus Retain(PlugInIntf* obj);
OSStatus Release(PlugInIntf** objPtr);
OSStatus GetAPIVersion(PlugInIntf* obj, PMPlugInAPIVersion* versionPtr);

// The common head of a fresh context: defaults, then the bundle and its resource map.
// Gives kPDEResourceMapErr when the map cannot be opened.
OSStatus InitContextHead(PDEContextHead& head, const char* bundleIdentifier);
// Closes the context's resource map, if open.
void TerminateContextHead(PDEContextHead& head, const char* bundleIdentifier);
// Prologue's out-arguments once the context exists.
void FillPrologue(const PDEContextHead& head, const PanelConstants& constants, OSType* creator,
                  QorStringRef* userOptionKind, QorStringRef* title, std::uint32_t* maxH,
                  std::uint32_t* maxV);
OSStatus Open(PMPDEContext context);
OSStatus Close(PMPDEContext context);
// The status that an exception escaping a panel's entry point turns into.
OSStatus StatusForException() noexcept;

}  // namespace frame

// The frame of one panel. Panel provides:
//   static constexpr const PanelConstants& kConstants;
//   using Context = ...;  // derived from PDEContextHead, default-constructible
//   static OSStatus InitContext(Context&);  // the panel's own fields; the head is set
//   static OSStatus Initialize(Context*, PMPDEFlags*, int32_t ref, ControlRef, PMPrintSession);
//   static OSStatus Sync(Context*, PMPrintSession, Boolean syncDirection);
//   static OSStatus GetSummaryText(Context*, QorArrayRef*, QorArrayRef*);
//   static void Terminate(Context&);  // optional: frees the panel's own data
// Its entry points receive a null context when the host passes none. No exception leaves
// the frame: one escaping a panel entry point becomes a failure status.
template <typename Panel>
struct PlugInFrame {
    using Context = typename Panel::Context;
    static_assert(std::is_base_of_v<PDEContextHead, Context>,
                  "a panel context starts with the common head");

    static void* Factory(QorAllocatorRef, QorUUIDRef requestedType) {
        return frame::CreateInstance(requestedType, Panel::kConstants.factoryID, &QueryInterface);
    }

    static HRESULT QueryInterface(void* instance, REFIID iid, LPVOID* ppv) {
        return frame::QueryInterface(instance, iid, ppv, &CreatePlugInInterface);
    }

    static OSStatus CreatePlugInInterface(PlugInIntf** out) {
        static const PlugInIntfVTable operations = {
            {&frame::Retain, &frame::Release, &frame::GetAPIVersion},
            &Prologue,
            &Initialize,
            &Sync,
            &GetSummaryText,
            &frame::Open,
            &frame::Close,
            &Terminate,
        };
        return frame::CreatePlugInInterface(out, operations);
    }

    // Makes the context: the head by the common pattern, then the panel's own fields.
    // On failure nothing is left behind.
    static OSStatus InitContext(Context** out) noexcept {
        *out = nullptr;
        try {
            auto context = std::make_unique<Context>();
            OSStatus status = frame::InitContextHead(*context, Panel::kConstants.bundleIdentifier);
            if (status == kPDENoErr) status = Panel::InitContext(*context);
            if (status != kPDENoErr) {
                destroy(std::move(context));
                return status;
            }
            *out = context.release();
            return kPDENoErr;
        } catch (const std::bad_alloc&) {
            return kPDENoContextErr;
        } catch (...) {
            return frame::StatusForException();
        }
    }

    static OSStatus Prologue(PMPDEContext* context, OSType* creator, QorStringRef* userOptionKind,
                             QorStringRef* title, std::uint32_t* maxH,
                             std::uint32_t* maxV) noexcept {
        // Without a place to put it the context would be lost; refuse before making it.
        if (!context) return kPDENoContextErr;
        Context* made = nullptr;
        if (InitContext(&made) != kPDENoErr) return kPDENoContextErr;
        PDE_UseResFile useResFile(made->theResFile);
        *context = toHandle(made);
        frame::FillPrologue(*made, Panel::kConstants, creator, userOptionKind, title, maxH, maxV);
        return kPDENoErr;
    }

    static OSStatus Initialize(PMPDEContext context, PMPDEFlags* flags, std::int32_t ref,
                               ControlRef parentUserPane, PMPrintSession printSession) noexcept {
        return call(context, [&](Context* c) {
            return Panel::Initialize(c, flags, ref, parentUserPane, printSession);
        });
    }

    static OSStatus Sync(PMPDEContext context, PMPrintSession printSession,
                         Boolean syncDirection) noexcept {
        return call(context,
                    [&](Context* c) { return Panel::Sync(c, printSession, syncDirection); });
    }

    static OSStatus GetSummaryText(PMPDEContext context, QorArrayRef* titleArray,
                                   QorArrayRef* summaryArray) noexcept {
        return call(context,
                    [&](Context* c) { return Panel::GetSummaryText(c, titleArray, summaryArray); });
    }

    static OSStatus Terminate(PMPDEContext context, OSStatus) noexcept {
        if (!context) return kPDENoContextErr;
        destroy(std::unique_ptr<Context>(fromHandle(context)));
        return kPDENoErr;
    }

    static Context* fromHandle(PMPDEContext context) {
        return static_cast<Context*>(reinterpret_cast<PDEContextHead*>(context));
    }
    static PMPDEContext toHandle(Context* context) {
        return reinterpret_cast<PMPDEContext>(static_cast<PDEContextHead*>(context));
    }

  private:
    // The panel's entry point with the panel's resource map current for its whole run.
    template <typename Function>
    static OSStatus call(PMPDEContext context, Function&& function) noexcept {
        try {
            Context* c = context ? fromHandle(context) : nullptr;
            if (!c) return function(c);
            PDE_UseResFile useResFile(c->theResFile);
            return function(c);
        } catch (...) {
            return frame::StatusForException();
        }
    }

    // The panel's own data first, then the resource map, then the record.
    static void destroy(std::unique_ptr<Context> context) noexcept {
        if constexpr (requires(Context & c) { Panel::Terminate(c); }) {
            try {
                Panel::Terminate(*context);
            } catch (...) {
                // The map and the record are still released below.
            }
        }
        frame::TerminateContextHead(*context, Panel::kConstants.bundleIdentifier);
    }
};

}  // namespace qor::pde

// Exports the panel's factory under its plain name, as the bundle's Info.plist lists it.
#define QOR_PDE_EXPORT_FACTORY(FactoryName, PanelType)                                \
    extern "C" __attribute__((visibility("default"))) void* FactoryName(              \
        QorAllocatorRef allocator, QorUUIDRef requestedType) {                        \
        return ::qor::pde::PlugInFrame<PanelType>::Factory(allocator, requestedType); \
    }
