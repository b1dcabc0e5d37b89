// The hotkeys through the desktop's GlobalShortcuts portal, on a private session bus with a stand-in
// for the portal (shortcutsportal_standin.py, run by python-dbusmock): no desktop that offers the
// portal runs on the test machines.
#include "childprocesses.h"
#include "enginefixture.h"
#include "events.h"
#include "backendchoice.h"
#include "kernelhotkeyservice.h"
#include "libraryhotkeys.h"
#include "portalhotkeyservice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using Triggers = QMap<QString, QString>;

// The stand-in portal, for as long as it lives.
class StandInPortal
{
public:
    explicit StandInPortal(const QJsonObject& parameters = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                         QStringLiteral(LOOPWREN_PORTAL_STANDIN), QStringLiteral("--parameters"),
                         QString::fromUtf8(QJsonDocument(parameters).toJson(QJsonDocument::Compact))});
        EXPECT_TRUE(test::eventually([&] { return bus().interface()->isServiceRegistered(kName).value(); }))
            << "the stand-in portal did not come up";
    }
    ~StandInPortal()
    {
        test::stopProcess(m_process);
        // Gone from the bus before the next test looks.
        test::eventually([&] { return !bus().interface()->isServiceRegistered(kName).value(); });
    }

    static QDBusConnection bus() { return QDBusConnection::sessionBus(); }
    QVariant control(const QString& method, const QVariantList& arguments = {}) const
    {
        // A plain message: a QDBusInterface would build a meta-object from introspection, which QtDBus
        // caches and never frees.
        QDBusMessage call =
            QDBusMessage::createMethodCall(kName, QStringLiteral("/org/freedesktop/portal/desktop"),
                                           QStringLiteral("org.freedesktop.DBus.Mock"), method);
        call.setArguments(arguments);
        const QDBusMessage reply = bus().call(call, QDBus::Block);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString();
        return reply.arguments().value(0);
    }
    Triggers boundTriggers() const
    {
        Triggers triggers;
        const QDBusArgument map = control(QStringLiteral("BoundTriggers")).value<QDBusArgument>();
        map >> triggers;
        return triggers;
    }

private:
    static inline const QString kName = QStringLiteral("org.freedesktop.portal.Desktop");
    QProcess m_process;
};

class PortalHotkeys : public EngineFixture
{
protected:
    // The portal's hotkeys in front of the key stream's, as the kernel backend makes them.
    static std::unique_ptr<HotkeyService> portalHotkeys()
    {
        return std::make_unique<PortalHotkeyService>(
            StandInPortal::bus(),
            std::make_unique<KernelHotkeyService>(std::make_unique<FakeInputMonitor>()));
    }
    // F12 with Super held (the desktop's trigger Meta+F12), then A with it.
    void typeTheDesktopsTriggerAndA()
    {
        for (const std::uint16_t key : {111, 0}) {
            for (const InputKind kind : {InputKind::keyDown, InputKind::keyUp})
                input->deliver({.kind = kind, .keyCode = key, .flags = modifier::super});
        }
    }
};

// The captured combinations go to the desktop as preferred triggers, after the application's id where
// the portal takes one; its presses run the engine's toggles, a held shortcut's repeats do not; where
// the desktop put other keys on a hotkey, or moves it later, the engine says so.
TEST_F(PortalHotkeys, TheDesktopBindsTheCapturedCombinationsAndItsPressesRunTheActions)
{
    StandInPortal portal(QJsonObject{{"choices", QJsonObject{{"playback", "Meta+F12"}}}, {"registry", true}});
    // Ctrl+Shift+R records, Command+F10 plays.
    PlatformServices services;
    install<MemoryPreferencesStore>(
        services.preferences,
        QVariantMap{{"recordHotkey", QByteArray(R"({"keyCode":15,"modifiers":393216})")},
                    {"playbackHotkey", QByteArray(R"({"keyCode":109,"modifiers":1048576})")}});
    installFakes(services, journal);
    services.hotkeys = portalHotkeys();
    engine = std::make_unique<MacroEngine>(std::move(services), options);
    ASSERT_TRUE(test::eventually([&] {
        return portal.boundTriggers() == Triggers{{"record", "CTRL+SHIFT+r"}, {"playback", "LOGO+F10"}};
    })) << portal.boundTriggers().keys().join(',').toStdString();
    EXPECT_EQ(portal.control("Calls").toStringList(),
              (QStringList{"Register io.github.loopwren.LoopWren", "CreateSession", "BindShortcuts"}));
    int changes = 0;
    QObject::connect(engine.get(), &MacroEngine::desktopTriggersChanged, [&] { ++changes; });
    ASSERT_TRUE(
        test::eventually([&] { return engine->desktopTrigger(EngineHotkeyRole::playback) == QString("Meta+F12"); }));
    EXPECT_EQ(engine->desktopTrigger(EngineHotkeyRole::record), std::nullopt) << "the desktop took Ctrl+Shift+R";

    portal.control("Press", {"record"});
    ASSERT_TRUE(test::eventually([&] { return engine->isRecording(); }));
    // The desktop's own keys for a hotkey are the hotkey's, and stay out of the recording.
    typeTheDesktopsTriggerAndA();
    portal.control("Release", {"record"});
    portal.control("Press", {"record"});
    ASSERT_TRUE(test::eventually([&] { return !engine->isRecording(); }));
    drain();
    ASSERT_EQ(engine->recordedEvents().size(), 2u) << "the desktop's trigger was recorded";
    EXPECT_EQ(engine->recordedEvents()[0].keyCode, 0);
    // Held: the desktop repeats the shortcut before its release. The change of trigger after it comes
    // in order, so once that is seen the repeat has been handled.
    portal.control("Press", {"record"});
    portal.control("Release", {"record"});
    portal.control("Rebind", {"record", "Ctrl+Alt+R"});
    ASSERT_TRUE(
        test::eventually([&] { return engine->desktopTrigger(EngineHotkeyRole::record) == QString("Ctrl+Alt+R"); }));
    EXPECT_FALSE(engine->isRecording()) << "a repeat counted as a press";
    EXPECT_GT(changes, 0);

    engine->setRecordedEvents({makeKeyEvent(EventType::keyDown, 40)});
    portal.control("Press", {"playback"});
    EXPECT_TRUE(test::eventually([&] { return !journal->lines().filter("key 40 down").isEmpty(); })) << "no playback";
}

// Each library macro is a shortcut of its own beside the two, under its file's id; a press names the
// macro, and the keys the desktop put on one stay out of recordings as the two's do.
TEST_F(PortalHotkeys, EachLibraryMacroIsAShortcutOfItsOwn)
{
    StandInPortal portal(QJsonObject{{"choices", QJsonObject{{"macro-three", "Meta+F12"}}}});
    PlatformServices services;
    installFakes(services, journal);
    services.hotkeys = portalHotkeys();
    const QTemporaryDir library;
    options.libraryFolder = library.filePath("macros");
    engine = std::make_unique<MacroEngine>(std::move(services), options);
    // The library is read first, as the window does at its start; the entries below stand in for its macros.
    engine->library();
    const auto macro = [](const QString& name, std::uint16_t key) {
        return LibraryEntry{.file = name + ".json", .name = name, .hotkey = {key, modifier::control}};
    };
    engine->libraryHotkeys().setEntries({macro("one", 18), macro("two", 19), macro("three", 20)});
    const Triggers bound{{"record", ""},
                         {"playback", ""},
                         {"macro-one", "CTRL+1"},
                         {"macro-two", "CTRL+2"},
                         {"macro-three", "CTRL+3"}};
    ASSERT_TRUE(test::eventually([&] { return portal.boundTriggers() == bound; }))
        << portal.boundTriggers().keys().join(',').toStdString();
    QStringList pressed;
    QObject::connect(engine.get(), &MacroEngine::libraryMacroHotkeyPressed,
                     [&](const QString& name) { pressed.append(name); });
    portal.control("Press", {"macro-two"});
    EXPECT_TRUE(test::eventually([&] { return pressed == QStringList{"two"}; }));
    ASSERT_TRUE(
        test::eventually([&] { return engine->libraryHotkeys().desktopTrigger("three") == QString("Meta+F12"); }));
    engine->startRecording();
    typeTheDesktopsTriggerAndA();
    engine->stopRecording();
    drain();
    ASSERT_EQ(engine->recordedEvents().size(), 2u) << "the desktop's trigger was recorded";
}

// A desktop whose user declines the shortcuts: the key stream serves, with no desktop trigger to show.
// Its portal predates the Registry, which changes nothing; neither can hold the keyboard.
TEST_F(PortalHotkeys, ARefusedBindingFallsBackToTheKeyStream)
{
    StandInPortal portal(QJsonObject{{"refuse", true}});
    auto owned = std::make_unique<FakeInputMonitor>();
    FakeInputMonitor& keys = *owned;
    PortalHotkeyService service(StandInPortal::bus(),
                                std::make_unique<KernelHotkeyService>(std::move(owned)));
    int pressed = 0;
    HotkeyService::Binding binding = 0;
    ASSERT_TRUE(service
                    .bind(
                        EngineHotkeyRole::record, {15, modifier::control}, [&] { ++pressed; }, binding)
                    .ok());
    EXPECT_EQ(keys.watchCount(), 0u) << "the key stream is read only once the desktop refused";
    ASSERT_TRUE(test::eventually([&] { return service.fellBack(); }));
    EXPECT_EQ(portal.control("Calls").toStringList(), (QStringList{"CreateSession", "BindShortcuts"}));
    EXPECT_FALSE(service.canHoldKeyboard());
    keys.deliver({.kind = InputKind::keyDown, .keyCode = 15, .flags = modifier::control});
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(service.desktopTrigger("record"), std::nullopt);
    service.unbind(binding);
    EXPECT_EQ(keys.watchCount(), 0u);
}

// The kernel backend takes the portal where the session bus offers it, and says so; elsewhere it
// watches the key stream, whose hotkeys also reach the application in front.
TEST_F(PortalHotkeys, TheKernelBackendTakesThePortalWhereTheSessionOffersIt)
{
    // Whether the backend's hotkeys are exclusive, what the doctor says of them, and the services.
    const auto look = [](PlatformServices& services) {
        const std::unique_ptr<Backend> backend = openKernelBackend("/nonexistent/uinput");
        QString finding;
        for (const SessionCheck& check : backend->checks()) {
            if (check.subject == QLatin1String("hotkeys"))
                finding = check.finding;
        }
        services = backend->provide({});
        return std::pair(backend->abilities().exclusiveHotkeys, finding);
    };
    {
        PlatformServices services;
        EXPECT_EQ(look(services), std::pair(false, QString()));
        EXPECT_NE(dynamic_cast<KernelHotkeyService*>(services.hotkeys.get()), nullptr);
    }
    StandInPortal portal;
    PlatformServices services;
    const auto [exclusive, finding] = look(services);
    EXPECT_TRUE(exclusive);
    EXPECT_TRUE(finding.startsWith("through the desktop's shortcuts portal (GlobalShortcuts version 1)"))
        << finding.toStdString();
    EXPECT_NE(dynamic_cast<PortalHotkeyService*>(services.hotkeys.get()), nullptr);
}

} // namespace
} // namespace loopwren
