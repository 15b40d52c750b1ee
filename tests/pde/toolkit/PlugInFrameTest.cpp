// The plug-in frame driven as the host drives it, through a real bundle loaded by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PDEInterface.h"
#include "PlugIn.h"
#include "PlugInFrame.h"
#include "ResourceMap.h"

using namespace qor::core;

namespace {

const Uuid kPDEType = *Uuid::fromString(kPDETypeIDString);
const Uuid kColorFactory = *Uuid::fromString(qor::pde::kColorPanel.factoryID);
const Uuid kUntitledFactory = *Uuid::fromString("5E1F0C2A-0D6B-4B7E-9A3C-1F2E3D4C5B6A");
const Uuid kOrphanFactory = *Uuid::fromString("5E1F0C2A-0D6B-4B7E-9A3C-1F2E3D4C5B6B");
const Uuid kNotExportedFactory = *Uuid::fromString("5E1F0C2A-0D6B-4B7E-9A3C-1F2E3D4C5B6C");

QorUUIDBytes iid(const char* text) {
    QorUUIDBytes bytes{};
    auto uuid = Uuid::fromString(text);
    std::copy(uuid->bytes().begin(), uuid->bytes().end(), bytes.bytes);
    return bytes;
}

// Sets the language environment for the test and puts the old one back afterwards.
class ScopedLanguage {
  public:
    explicit ScopedLanguage(const char* lang) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        setenv("LANG", lang, 1);
    }
    ~ScopedLanguage() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }

  private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

class PlugInFrameTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        plugIn = PlugIn::load(QOR_TEST_PANEL_BUNDLE, &error);
        ASSERT_TRUE(plugIn) << error;
    }

    IUnknownInstance* create(const Uuid& factory) {
        return static_cast<IUnknownInstance*>(plugIn->createInstance(factory, kPDEType));
    }

    // Factory, then QueryInterface for the panel interface, as the host begins.
    PlugInIntf* panelInterface(IUnknownInstance* instance) {
        LPVOID out = nullptr;
        EXPECT_EQ(instance->vtable->QueryInterface(instance, iid(kPDEInterfaceIDString), &out),
                  kPDEQueryOK);
        return static_cast<PlugInIntf*>(out);
    }

    struct Prologued {
        OSStatus status;
        PMPDEContext context;
        OSType creator;
        QorStringRef kind;
        QorStringRef title;
        std::uint32_t maxH, maxV;
    };

    Prologued prologue(PlugInIntf* intf, QorStringRef hostTitle = nullptr) {
        Prologued p{1, nullptr, 0, nullptr, hostTitle, 0, 0};
        p.status =
            intf->vtable->Prologue(&p.context, &p.creator, &p.kind, &p.title, &p.maxH, &p.maxV);
        return p;
    }

    std::shared_ptr<PlugIn> plugIn;
};

}  // namespace

TEST_F(PlugInFrameTest, FactoryMakesACountedRegisteredInstanceOnlyForThePDEType) {
    EXPECT_EQ(
        plugIn->factoriesForType(kPDEType),
        (std::vector<Uuid>{kColorFactory, kUntitledFactory, kOrphanFactory, kNotExportedFactory}));
    IUnknownInstance* instance = create(kColorFactory);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->vtable, &instance->vtableStorage);
    EXPECT_EQ(instance->vtableStorage.reserved, nullptr);
    EXPECT_EQ(instance->refCount, 1u);
    EXPECT_EQ(uuidOf(instance->factoryID), kColorFactory);
    EXPECT_EQ(instanceCountForFactory(kColorFactory), 1u);

    // Asked for any other type, or for none, the factory makes nothing.
    QorPlugInFactoryFunction factory = plugIn->factoryFunction(kColorFactory);
    ASSERT_NE(factory, nullptr);
    Ref otherType = makeUuid(*Uuid::fromString(kPDEInterfaceIDString));
    EXPECT_EQ(factory(nullptr, otherType.get()), nullptr);
    EXPECT_EQ(factory(nullptr, nullptr), nullptr);
    EXPECT_EQ(plugIn->createInstance(kColorFactory, *Uuid::fromString(kIUnknownIDString)), nullptr);

    std::string error;
    EXPECT_EQ(plugIn->factoryFunction(kNotExportedFactory, &error), nullptr);
    EXPECT_NE(error.find("NotExportedPluginFactory"), std::string::npos) << error;

    EXPECT_EQ(instance->vtable->Release(instance), 0u);
    EXPECT_EQ(instanceCountForFactory(kColorFactory), 0u);
}

TEST_F(PlugInFrameTest, QueryInterfaceAnswersIUnknownThePanelInterfaceAndNothingElse) {
    IUnknownInstance* instance = create(kColorFactory);
    ASSERT_NE(instance, nullptr);
    IUnknownVTbl& v = *instance->vtable;

    LPVOID out = nullptr;
    EXPECT_EQ(v.QueryInterface(instance, iid(kIUnknownIDString), &out), kPDEQueryOK);
    EXPECT_EQ(out, instance);
    EXPECT_EQ(instance->refCount, 2u);

    PlugInIntf* first = panelInterface(instance);
    PlugInIntf* second = panelInterface(instance);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_NE(first->vtable, second->vtable);
    EXPECT_EQ(first->refCount, 1u);
    EXPECT_EQ(second->refCount, 1u);
    const PlugInIntfVTable& ops = *first->vtable;
    for (const void* slot :
         {(const void*)ops.plugInHeader.Retain, (const void*)ops.plugInHeader.Release,
          (const void*)ops.plugInHeader.GetAPIVersion, (const void*)ops.Prologue,
          (const void*)ops.Initialize, (const void*)ops.Sync, (const void*)ops.GetSummaryText,
          (const void*)ops.Open, (const void*)ops.Close, (const void*)ops.Terminate})
        EXPECT_NE(slot, nullptr);
    PMPlugInAPIVersion version{};
    EXPECT_EQ(ops.plugInHeader.GetAPIVersion(first, &version), kPDENoErr);
    EXPECT_EQ(version.buildVersionMajor, 1u);
    EXPECT_EQ(version.buildVersionMinor, 0u);
    EXPECT_EQ(version.baseVersionMajor, 1u);
    EXPECT_EQ(version.baseVersionMinor, 0u);

    out = &out;
    EXPECT_EQ(v.QueryInterface(instance, iid("A996FD7E-B738-11D3-8519-0050E4603278"), &out),
              kPDENoInterface);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(v.QueryInterface(instance, iid(kIUnknownIDString), nullptr), kPDENoInterface);
    EXPECT_EQ(instance->refCount, 2u);

    PMPlugInHeader header = ops.plugInHeader;  // the table goes with its record
    header.Release(&first);
    header.Release(&second);
    EXPECT_EQ(v.Release(instance), 1u);
    EXPECT_EQ(v.Release(instance), 0u);
}

TEST_F(PlugInFrameTest, ReleaseEdgeCases) {
    IUnknownInstance* instance = create(kColorFactory);
    ASSERT_NE(instance, nullptr);
    IUnknownVTbl& v = *instance->vtable;
    EXPECT_EQ(v.AddRef(nullptr), 0u);
    EXPECT_EQ(v.Release(nullptr), 0u);

    // A count already at 0 frees nothing: the instance stays readable and registered.
    instance->refCount = 0;
    EXPECT_EQ(v.Release(instance), 0u);
    EXPECT_EQ(instance->refCount, 0u);
    EXPECT_EQ(instanceCountForFactory(kColorFactory), 1u);
    instance->refCount = 1;

    PlugInIntf* intf = panelInterface(instance);
    ASSERT_NE(intf, nullptr);
    PMPlugInHeader header = intf->vtable->plugInHeader;
    PlugInIntf* none = nullptr;
    EXPECT_EQ(header.Release(&none), kPDENoErr);
    EXPECT_EQ(header.Release(nullptr), kPDENoErr);
    EXPECT_EQ(header.Retain(nullptr), kPDENoErr);

    // The caller's pointer is cleared even when the record lives on.
    EXPECT_EQ(header.Retain(intf), kPDENoErr);
    EXPECT_EQ(intf->refCount, 2u);
    PlugInIntf* held = intf;
    EXPECT_EQ(header.Release(&held), kPDENoErr);
    EXPECT_EQ(held, nullptr);
    EXPECT_EQ(intf->refCount, 1u);
    EXPECT_EQ(header.Release(&intf), kPDENoErr);
    EXPECT_EQ(intf, nullptr);

    EXPECT_EQ(v.Release(instance), 0u);
    EXPECT_EQ(instanceCountForFactory(kColorFactory), 0u);
}

TEST_F(PlugInFrameTest, PrologueTitleFoundFallingBackToItsKeyOrAbsent) {
    struct Case {
        const char* name;
        const Uuid* factory;
        const char* lang;
        const char* expectedTitle;  // null: the host's title stays
        const char* kind;
        std::uint32_t maxV;
    };
    const Case cases[] = {
        {"translated", &kColorFactory, "fr_FR.UTF-8", "Couleur", "com.quorvan.print.pde.ColorKind",
         355},
        {"table without the key", &kColorFactory, "de_DE.UTF-8", "Color",
         "com.quorvan.print.pde.ColorKind", 355},
        {"panel without a title key", &kUntitledFactory, "fr_FR.UTF-8", nullptr,
         "com.quorvan.test.UntitledKind", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedLanguage language(c.lang);
        IUnknownInstance* instance = create(*c.factory);
        ASSERT_NE(instance, nullptr);
        PlugInIntf* intf = panelInterface(instance);
        ASSERT_NE(intf, nullptr);

        Ref hostTitle = makeString("host title");
        ResFileRefNum hostMap = CurResFile();
        Prologued p = prologue(intf, hostTitle.get());
        ASSERT_EQ(p.status, kPDENoErr);
        ASSERT_NE(p.context, nullptr);
        EXPECT_EQ(p.creator, 0x70646520u);  // 'pde '
        EXPECT_EQ(stringOf(p.kind), c.kind);
        EXPECT_EQ(p.maxH, 150u);
        EXPECT_EQ(p.maxV, c.maxV);
        if (c.expectedTitle) {
            EXPECT_EQ(stringOf(p.title), c.expectedTitle);
            QorRelease(p.title);
        } else {
            EXPECT_EQ(p.title, hostTitle.get());
        }
        QorRelease(p.kind);

        // The context's head: the bundle and its map, which is open but not left current.
        auto* head = reinterpret_cast<qor::pde::PDEContextHead*>(p.context);
        EXPECT_EQ(head->theBundleRef, &plugIn->bundle());
        EXPECT_EQ(head->encoding, 0x0600u);
        EXPECT_EQ(head->parentUserPane, nullptr);
        ResFileRefNum panelMap = head->theResFile;
        EXPECT_EQ(resourceMapDirectory(panelMap), plugIn->bundle().resourcePath());
        EXPECT_EQ(CurResFile(), hostMap);

        EXPECT_EQ(intf->vtable->Terminate(p.context, 0), kPDENoErr);
        EXPECT_FALSE(resourceMapDirectory(panelMap)) << "Terminate closes the map";
        intf->vtable->plugInHeader.Release(&intf);
        instance->vtable->Release(instance);
    }
}

TEST_F(PlugInFrameTest, PrologueFailsCleanlyWhenTheContextCannotBeMade) {
    IUnknownInstance* instance = create(kOrphanFactory);
    ASSERT_NE(instance, nullptr);
    PlugInIntf* intf = panelInterface(instance);
    ASSERT_NE(intf, nullptr);

    auto* terminated = reinterpret_cast<int (*)()>(
        dlsym(dlopen(plugIn->bundle().executablePath().c_str(), RTLD_NOW | RTLD_NOLOAD),
              "TestPanelTerminatedCount"));
    ASSERT_NE(terminated, nullptr);
    int terminatedBefore = terminated();

    ResFileRefNum hostMap = CurResFile();
    Prologued p = prologue(intf);
    EXPECT_EQ(p.status, kPDENoContextErr);
    EXPECT_EQ(p.context, nullptr);
    EXPECT_EQ(p.kind, nullptr);
    EXPECT_EQ(p.creator, 0u);
    EXPECT_EQ(p.maxV, 0u);
    EXPECT_EQ(CurResFile(), hostMap);
    // The panel's own data of the half-made context was freed with it (no leak either).
    EXPECT_EQ(terminated(), terminatedBefore + 1);

    EXPECT_EQ(intf->vtable->Prologue(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              kPDENoContextErr);
    intf->vtable->plugInHeader.Release(&intf);
    instance->vtable->Release(instance);
}

TEST_F(PlugInFrameTest, EntryPointsRunWithThePanelsMapCurrentAndNeedAContext) {
    ScopedLanguage language("fr_FR.UTF-8");
    IUnknownInstance* instance = create(kColorFactory);
    PlugInIntf* intf = panelInterface(instance);
    ASSERT_NE(intf, nullptr);
    const PlugInIntfVTable& ops = *intf->vtable;
    Prologued p = prologue(intf);
    ASSERT_EQ(p.status, kPDENoErr);
    QorRelease(p.kind);
    QorRelease(p.title);
    auto* head = reinterpret_cast<qor::pde::PDEContextHead*>(p.context);
    ResFileRefNum hostMap = CurResFile();
    ASSERT_NE(head->theResFile, hostMap);

    auto* pane = reinterpret_cast<ControlRef>(&hostMap);
    PMPDEFlags flags = 7;
    EXPECT_EQ(ops.Initialize(p.context, &flags, 0, pane, nullptr), kPDENoErr)
        << "the closing Sync's -9589 counts as success";
    EXPECT_EQ(head->parentUserPane, pane);
    EXPECT_EQ(CurResFile(), hostMap);
    EXPECT_EQ(ops.Sync(p.context, nullptr, false), kPDESyncKeyNotFound);

    QorArrayRef titles = nullptr, summaries = nullptr;
    EXPECT_EQ(ops.GetSummaryText(p.context, &titles, &summaries), kPDENoErr);
    EXPECT_EQ(stringOf(QorArrayGetValueAtIndex(summaries, 0)), "Résumé");
    EXPECT_EQ(stringOf(QorArrayGetValueAtIndex(summaries, 1)), "2");
    EXPECT_EQ(CurResFile(), hostMap);
    QorRelease(titles);
    QorRelease(summaries);

    // The panel saw its own map current during the call.
    struct Seen : qor::pde::PDEContextHead {
        std::string panelData;
        std::int16_t resFileDuringCall;
    };
    EXPECT_EQ(reinterpret_cast<Seen*>(p.context)->resFileDuringCall, head->theResFile);

    EXPECT_EQ(ops.Open(p.context), kPDENoErr);
    EXPECT_EQ(ops.Close(p.context), kPDENoErr);
    EXPECT_EQ(CurResFile(), hostMap);

    // A fault inside a panel comes back as a status, not as an exception.
    EXPECT_EQ(ops.Initialize(p.context, &flags, -1, pane, nullptr), kPDENoContextErr);
    EXPECT_EQ(CurResFile(), hostMap);

    for (auto entry : {ops.Open, ops.Close}) EXPECT_EQ(entry(nullptr), kPDENoContextErr);
    EXPECT_EQ(ops.Terminate(nullptr, 0), kPDENoContextErr);
    EXPECT_EQ(ops.Initialize(nullptr, &flags, 0, pane, nullptr), kPDENoContextErr);
    EXPECT_EQ(ops.Sync(nullptr, nullptr, true), kPDESyncNoSessionErr);

    EXPECT_EQ(ops.Terminate(p.context, 0), kPDENoErr);
    intf->vtable->plugInHeader.Release(&intf);
    instance->vtable->Release(instance);
}
