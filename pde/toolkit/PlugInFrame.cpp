// The panel-independent half of the plug-in frame: instance and interface records, their
// reference counts, the context head and the resource-map switch.
#include "PlugInFrame.h"

#include <cstdlib>

#include "Objects.h"
#include "PlugIn.h"

namespace qor::pde {

PDE_UseResFile::PDE_UseResFile(std::int16_t resFile) : mtheResFile(core::CurResFile()) {
    core::UseResFile(resFile);
}

PDE_UseResFile::~PDE_UseResFile() {
    core::UseResFile(mtheResFile);
}

namespace frame {

namespace {

IUnknownInstance* asInstance(void* instance) {
    return static_cast<IUnknownInstance*>(instance);
}

core::Ref uuidObject(const char* text) {
    return core::Ref::adopt(QorUUIDCreateFromString(text));
}

}  // namespace

void* CreateInstance(QorUUIDRef requestedType, const char* factoryID,
                     decltype(IUnknownVTbl::QueryInterface) queryInterface) {
    core::Ref pdeType = uuidObject(kPDETypeIDString);
    core::Ref factory = uuidObject(factoryID);
    if (!pdeType || !factory || !requestedType || !QorEqual(requestedType, pdeType.get()))
        return nullptr;
    // The host frees what it did not make through IUnknownRelease, so this record is plain
    // C memory rather than a C++ object.
    auto* instance = static_cast<IUnknownInstance*>(std::calloc(1, sizeof(IUnknownInstance)));
    if (!instance) return nullptr;
    instance->vtable = &instance->vtableStorage;
    instance->vtableStorage = {nullptr, queryInterface, &IUnknownAddRef, &IUnknownRelease};
    instance->factoryID = factory.release();
    instance->refCount = 1;
    QorPlugInAddInstanceForFactory(instance->factoryID);
    return instance;
}

HRESULT QueryInterface(void* instance, REFIID iid, LPVOID* ppv,
                       CreateInterfaceFunction createInterface) {
    if (!ppv) return kPDENoInterface;
    *ppv = nullptr;
    if (!instance) return kPDENoInterface;
    core::Ref requested = core::Ref::adopt(QorUUIDCreateFromUUIDBytes(iid));
    core::Ref pdeInterface = uuidObject(kPDEInterfaceIDString);
    core::Ref iUnknown = uuidObject(kIUnknownIDString);
    if (!requested) return kPDENoInterface;
    if (QorEqual(requested.get(), iUnknown.get())) {
        asInstance(instance)->vtable->AddRef(instance);
        *ppv = instance;
        return kPDEQueryOK;
    }
    if (QorEqual(requested.get(), pdeInterface.get())) {
        PlugInIntf* created = nullptr;
        OSStatus status = createInterface(&created);
        *ppv = created;
        return status;
    }
    return kPDENoInterface;
}

ULONG IUnknownAddRef(void* instance) {
    if (!instance) return 0;
    return ++asInstance(instance)->refCount;
}

ULONG IUnknownRelease(void* instance) {
    IUnknownInstance* self = asInstance(instance);
    if (!self || self->refCount == 0) return 0;
    if (--self->refCount > 0) return self->refCount;
    if (self->factoryID) {
        QorPlugInRemoveInstanceForFactory(self->factoryID);
        QorRelease(self->factoryID);
    }
    std::free(self);
    return 0;
}

OSStatus CreatePlugInInterface(PlugInIntf** out, const PlugInIntfVTable& operations) {
    *out = nullptr;
    auto* record = static_cast<PlugInIntf*>(std::calloc(1, sizeof(PlugInIntf)));
    if (!record) return kPDEMemFullErr;
    record->refCount = 1;
    record->vtable = static_cast<PlugInIntfVTable*>(std::calloc(1, sizeof(PlugInIntfVTable)));
    if (!record->vtable) {
        std::free(record);
        return kPDEMemFullErr;
    }
    *record->vtable = operations;
    *out = record;
    return kPDENoErr;
}

OSStatus Retain(PlugInIntf* obj) {
    if (obj) ++obj->refCount;
    return kPDENoErr;
}

OSStatus Release(PlugInIntf** objPtr) {
    if (!objPtr) return kPDENoErr;
    PlugInIntf* obj = *objPtr;
    // The caller's pointer is cleared whatever the count, so it cannot be used again.
    *objPtr = nullptr;
    if (!obj || obj->refCount == 0) return kPDENoErr;
    if (--obj->refCount == 0) {
        std::free(obj->vtable);
        std::free(obj);
    }
    return kPDENoErr;
}

OSStatus GetAPIVersion(PlugInIntf*, PMPlugInAPIVersion* versionPtr) {
    if (versionPtr) *versionPtr = {1, 0, 1, 0};
    return kPDENoErr;
}

OSStatus InitContextHead(PDEContextHead& head, const char* bundleIdentifier) {
    head.parentUserPane = nullptr;
    head.theBundleRef = nullptr;
    head.theResFile = core::kNoResFile;
    head.encoding = kPDETextEncodingASCII;
    core::Bundle* bundle = core::Bundle::withIdentifier(bundleIdentifier ? bundleIdentifier : "");
    head.theResFile = bundle ? bundle->openBundleResourceMap() : core::kNoResFile;
    head.theBundleRef = bundle;
    return head.theResFile == core::kNoResFile ? kPDEResourceMapErr : kPDENoErr;
}

void TerminateContextHead(PDEContextHead& head, const char* bundleIdentifier) {
    if (head.theResFile == core::kNoResFile) return;
    core::Bundle* bundle = core::Bundle::withIdentifier(bundleIdentifier ? bundleIdentifier : "");
    if (bundle)
        bundle->closeBundleResourceMap(head.theResFile);
    else
        core::closeResourceMap(head.theResFile);  // never leave a map open behind
    head.theResFile = core::kNoResFile;
}

void FillPrologue(const PDEContextHead& head, const PanelConstants& constants, OSType* creator,
                  QorStringRef* userOptionKind, QorStringRef* title, std::uint32_t* maxH,
                  std::uint32_t* maxV) {
    if (maxH) *maxH = kPDEMaxH;
    if (maxV) *maxV = constants.maxV;
    if (title && constants.titleKey && head.theBundleRef) {
        try {
            core::Ref localized =
                core::makeString(head.theBundleRef->localizedString(constants.titleKey));
            if (localized) *title = localized.release();
        } catch (...) {
            // Out of memory: the host's title stays, as when the lookup yields nothing.
        }
    }
    if (userOptionKind) *userOptionKind = QorStringCreateWithUTF8(constants.kind);
    if (creator) *creator = kPlugInCreator;
}

OSStatus Open(PMPDEContext context) {
    if (!context) return kPDENoContextErr;
    PDE_UseResFile useResFile(reinterpret_cast<PDEContextHead*>(context)->theResFile);
    return kPDENoErr;
}

OSStatus Close(PMPDEContext context) {
    if (!context) return kPDENoContextErr;
    PDE_UseResFile useResFile(reinterpret_cast<PDEContextHead*>(context)->theResFile);
    return kPDENoErr;
}

OSStatus StatusForException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kPDEMemFullErr;
    } catch (...) {
        return kPDENoContextErr;
    }
}

}  // namespace frame

}  // namespace qor::pde
