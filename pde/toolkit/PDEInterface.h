/* The interface between the print-dialog host and a panel bundle: identifiers, status codes,
   the IUnknown instance and the panel operation table. Plain C, shared by host and panels. */
#pragma once

#include <stdint.h>

#include "Objects.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t OSStatus;
typedef int32_t HRESULT;
typedef uint32_t ULONG;
typedef uint32_t OSType;
typedef unsigned char Boolean;
typedef void* LPVOID;
/* An interface identifier as the host passes it: the 16 bytes of the UUID. */
typedef QorUUIDBytes REFIID;

typedef struct OpaquePMPrintSession* PMPrintSession;
typedef struct OpaqueControlRef* ControlRef;
/* The panel's context; the host only holds it and hands it back. */
typedef struct OpaquePMPDEContext* PMPDEContext;
typedef uint32_t PMPDEFlags;

/* The type the factory is asked for, the panel interface, and the standard IUnknown. */
#define kPDETypeIDString "BDB091F4-E57F-11D3-B5CC-0050E4603277"
#define kPDEInterfaceIDString "A996FD7E-B738-11D3-8519-0050E4603277"
#define kIUnknownIDString "00000000-0000-0000-C000-000000000046"

/* 'pde ' */
#define kPlugInCreator ((OSType)0x70646520u)

#define kPDEMaxH 150u

/* QueryInterface results. */
#define kPDEQueryOK ((HRESULT)0)
#define kPDENoInterface ((HRESULT)0x80000004u)

/* Status results of the panel entry points. */
enum {
    kPDENoErr = 0,
    kPDEMemFullErr = -108,         /* summary lists or the interface record cannot be made */
    kPDENoContextErr = -9530,      /* no context, context not made, no usable keyword */
    kPDEDeclineErr = -9533,        /* the panel does not serve this printer */
    kPDESyncKeyNotFound = -9589,   /* taken as success by Initialize's closing Sync */
    kPDEResourceMapErr = -30870,   /* the bundle's resource map cannot be opened */
    kPDETicketErr = -30875,        /* ticket not available */
    kPDESyncNoSessionErr = -30879, /* Sync without context or print session */
    kPDEKeywordNoOptionsErr = -30888,
    kPDETicketUnavailableErr = -30891
};

/* ASCII, the encoding a context starts with. */
#define kPDETextEncodingASCII 0x0600u

typedef struct IUnknownVTbl {
    void* reserved; /* always null */
    HRESULT (*QueryInterface)(void* instance, REFIID iid, LPVOID* ppv);
    ULONG (*AddRef)(void* instance);
    ULONG (*Release)(void* instance);
} IUnknownVTbl;

/* What the factory returns. vtable points at the instance's own vtableStorage. The
   instance owns its reference to factoryID. */
typedef struct IUnknownInstance {
    IUnknownVTbl* vtable;
    IUnknownVTbl vtableStorage;
    QorUUIDRef factoryID;
    ULONG refCount;
} IUnknownInstance;

typedef struct PMPlugInAPIVersion {
    uint32_t buildVersionMajor;
    uint32_t buildVersionMinor;
    uint32_t baseVersionMajor;
    uint32_t baseVersionMinor;
} PMPlugInAPIVersion;

typedef struct PlugInIntf PlugInIntf;

typedef struct PMPlugInHeader {
    OSStatus (*Retain)(PlugInIntf* obj);
    /* Clears *objPtr before dropping the reference. */
    OSStatus (*Release)(PlugInIntf** objPtr);
    OSStatus (*GetAPIVersion)(PlugInIntf* obj, PMPlugInAPIVersion* versionPtr);
} PMPlugInHeader;

/* Ownership of the strings and arrays handed out: Prologue's userOptionKind, and its title
   when one is found (otherwise *title is left as the host set it), and GetSummaryText's two
   arrays belong to the caller, who releases them with QorRelease. */
typedef struct PlugInIntfVTable {
    PMPlugInHeader plugInHeader;
    OSStatus (*Prologue)(PMPDEContext* context, OSType* creator, QorStringRef* userOptionKind,
                         QorStringRef* title, uint32_t* maxH, uint32_t* maxV);
    OSStatus (*Initialize)(PMPDEContext context, PMPDEFlags* flags, int32_t ref,
                           ControlRef parentUserPane, PMPrintSession printSession);
    OSStatus (*Sync)(PMPDEContext context, PMPrintSession printSession, Boolean syncDirection);
    OSStatus (*GetSummaryText)(PMPDEContext context, QorArrayRef* titleArray,
                               QorArrayRef* summaryArray);
    OSStatus (*Open)(PMPDEContext context);
    OSStatus (*Close)(PMPDEContext context);
    OSStatus (*Terminate)(PMPDEContext context, OSStatus status);
} PlugInIntfVTable;

/* The panel interface record; each QueryInterface for the PDE interface makes a fresh one,
   which owns its table. */
struct PlugInIntf {
    PlugInIntfVTable* vtable;
    ULONG refCount;
};

#ifdef __cplusplus
}
#endif
