#pragma once

#include "eventually.h"
#include "events.h"
#include "fakedialogs.h"
#include "fakeplatform.h"
#include "logline.h"
#include "loopwrenapp.h"
#include "qsettingspreferencesstore.h"
#include "qttesting.h"
#include "qtupdatefetcher.h"
#include "virtualclock.h"

#include <QFile>
#include <QQueue>
#include <QQuickItem>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace loopwren {

// Twelve events of every kind.
inline Timeline sampleTimeline()
{
    using enum EventType;
    MacroEvent wheel = makeEvent(scroll, 0.4);
    wheel.scrollDeltaX = 0;
    wheel.scrollDeltaY = -3;
    // clang-format off
    return {makeMouseEvent(mouseMoved, 412.6, 218.2), makeMouseEvent(mouseDown, 420, 224),
            makeMouseEvent(mouseUp, 420, 224), makeEvent(wait, 1.5),
            makeKeyEvent(keyDown, 4), makeKeyEvent(keyUp, 4), makeKeyEvent(keyDown, 14), makeKeyEvent(keyUp, 14),
            wheel, makeMouseEvent(mouseDown, 96.9, 640.4, MouseButtonType::right),
            makeMouseEvent(mouseUp, 96.9, 640.4, MouseButtonType::right), makeKeyEvent(keyDown, 36)};
    // clang-format on
}

// The application as main.cpp builds it — the real settings file under $XDG_CONFIG_HOME, the real HTTP
// fetcher, the real window offscreen — with fakes only for the desktop services (input, hotkeys, the
// running applications) and the dialogs, and playbacks on virtual time.
class UiTest : public testing::Test, protected FakeDesktop
{
protected:
    struct Start
    {
        QVariantMap stored{};
        QString updateBaseUrl{}; // empty: no update check
        std::chrono::milliseconds timeout{60000};
        SessionProblems problems{}; // what the session answers at each start of a recording or playback
        bool windowHides = true;    // whether the desktop lets the window hide itself
    };

    void SetUp() override
    {
        setLogSink([this](const QString& line) { logged.append(line); });
        // Through QSettings rather than by deleting the file: its in-process cache forgets the old values.
        QSettings("LoopWren", "LoopWren").clear();
    }
    void TearDown() override
    {
        stop();
        setLogSink({});
    }

    void start() { start(Start()); }
    void start(const Start& start)
    {
        QSettings settings("LoopWren", "LoopWren");
        for (auto it = start.stored.cbegin(); it != start.stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
        PlatformServices services;
        services.preferences = std::make_unique<QSettingsPreferencesStore>();
        fetcher = install<QtUpdateFetcher>(services.updates, QtUpdateFetcher::Limits{start.timeout});
        installFakes(services, journal);
        workspace->applications.resize(2);
        workspace->applications[0].name = "Terminal";
        workspace->applications[1].name = "Files";
        app = std::make_unique<LoopWrenApp>(std::move(services),
                                            EngineOptions{start.updateBaseUrl, "1.4.2", &clock, {},
                                                          [problems = start.problems] { return problems; }},
                                            WindowEffects{.restoresMinimizedWindow = start.windowHides}, &dialogs);
        ASSERT_TRUE(app->openWindow()) << "the main window did not load";
        window = app->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000)) << "the main window was not shown";
        // Typed keys go to the active window; an earlier test's window may have kept that role.
        window->requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 20000)) << "the main window did not become active";
        drain();
    }
    void stop()
    {
        app.reset();
        window = nullptr;
        fetcher = nullptr;
        drain();
    }

    MacroEngine& engine() { return app->engine(); }
    ContentViewState& state() { return app->viewState(); }
    EventEditor& editor() { return *app->viewState().editor(); }
    void setTimeline(Timeline events)
    {
        engine().setRecordedEvents(std::move(events));
        drain();
    }

    // QML parents an object to the component that created it, not to its visual parent, so both the
    // object tree and the item tree are searched.
    static QQuickItem* childOf(QQuickItem* parent, const char* objectName)
    {
        if (auto* found = parent->findChild<QQuickItem*>(objectName))
            return found;
        for (QQuickItem* child : parent->childItems()) {
            QQuickItem* found = child->objectName() == objectName ? child : childOf(child, objectName);
            if (found)
                return found;
        }
        return nullptr;
    }
    QQuickItem* item(const char* objectName) const
    {
        auto* found = window->findChild<QQuickItem*>(objectName);
        return found ? found : childOf(window->contentItem(), objectName);
    }
    // What a button, a menu or a text item shows.
    QString labelOf(const char* objectName) const
    {
        QQuickItem* found = item(objectName);
        if (!found)
            return QString("<no %1>").arg(objectName);
        QQuickItem* label = childOf(found, "label");
        return (label ? label : found)->property("text").toString();
    }
    QStringList labels(std::initializer_list<const char*> objectNames) const
    {
        QStringList texts;
        for (const char* name : objectNames)
            texts << labelOf(name);
        return texts;
    }
    // Clicks once the window has drawn a frame: rows that just appeared are laid out only then, and
    // until that a click would land where they stood before.
    void click(QQuickItem* target)
    {
        ASSERT_NE(target, nullptr);
        waitForFrame();
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
        drain();
    }
    void click(const char* objectName) { click(item(objectName)); }
    // Until the window has drawn a frame, and so laid out what changed before.
    void waitForFrame()
    {
        bool drawn = false;
        const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&] { drawn = true; });
        window->update();
        EXPECT_TRUE(test::eventually([&] { return drawn; })) << "the window drew no frame";
        QObject::disconnect(connection);
    }
    // Types over what the field shows, key by key, as the user would.
    void typeInto(const char* field, const QString& text)
    {
        item(field)->forceActiveFocus();
        QMetaObject::invokeMethod(item(field), "selectAll");
        for (const QChar character : text)
            QTest::keyClick(window, character.toLatin1());
        drain();
    }
    // The settings page in a window tall enough for all of it: the page scrolls, and only what is on
    // screen takes a click.
    void showSettings()
    {
        window->resize(1040, 2100);
        state().navigate(ContentViewState::Settings);
        ASSERT_TRUE(test::eventually([&] { return item("settingsPage")->opacity() == 1; }))
            << "the page did not fade in";
    }
    // Opens the editor on a row and waits until the filling has ended and the panel has slid in: a click
    // on it while it moves could land beside its button.
    void openEditor(int index)
    {
        state().tapRow(index);
        ASSERT_TRUE(test::eventually([&] {
            return item("editorSlot")->width() == 221 && item("editorSlot")->opacity() == 1 &&
                   !editor().isPopulating();
        }));
    }
    // A key pressed anywhere on the desktop, as the input monitor reports it.
    void pressKey(std::uint16_t keyCode, std::uint64_t flags = 0)
    {
        input->deliver(InputEvent{.kind = InputKind::keyDown, .keyCode = keyCode, .flags = flags});
        drain();
    }
    // The delegate of a timeline row once the list has laid it out, which it does when it next draws.
    QQuickItem* row(int index) const
    {
        QQuickItem* delegate = nullptr;
        test::eventually([&] {
            QMetaObject::invokeMethod(item("timelineList"), "itemAtIndex",
                                      Q_RETURN_ARG(QQuickItem*, delegate), Q_ARG(int, index));
            return delegate != nullptr;
        });
        return delegate;
    }

    static void drain() { test::drain(); }
    // The value text stored under key in the settings file on disk, or "<absent>".
    static QString stored(const QString& key)
    {
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") + "/LoopWren/LoopWren.conf");
        for (const QByteArray& line :
             file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList()) {
            if (line.startsWith(key.toUtf8() + '='))
                return QString::fromUtf8(line.mid(key.size() + 1));
        }
        return "<absent>";
    }

    VirtualClock clock;
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    QStringList logged;
    FakeDialogs dialogs;
    std::unique_ptr<LoopWrenApp> app;
    QQuickWindow* window = nullptr;
    QtUpdateFetcher* fetcher = nullptr;
};

} // namespace loopwren
