#pragma once

#include "contentviewstate.h"
#include "events.h"
#include "fakedialogs.h"
#include "fakeplatform.h"
#include "hotkeycapture.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"
#include "settingsstate.h"
#include "virtualclock.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failure messages for Qt strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}
QT_END_NAMESPACE

namespace loopwren {

// Twelve events of every kind, the timeline the screenshots show.
Timeline sampleTimeline();

// The engine on fake platform services, the window state over it, and optionally the real main window
// rendered offscreen.
class UiFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void build(QVariantMap stored = {});
    // The fake desktop services, reachable through the members below; the caller adds the preferences.
    PlatformServices fakeServices();
    // Loads Main.qml over the state and waits until it has been shown.
    QQuickWindow& openWindow();
    // Runs queued main-thread work (the engine's queued edits and appends).
    static void drain(int rounds = 10);
    static void wait(int ms);
    // Runs the event loop until condition holds; false if it still does not after a generous time.
    static bool waitUntil(const std::function<bool()>& condition);
    void setTimeline(Timeline events);

    QQuickItem* item(const char* objectName) const;
    QQuickItem* childOf(QQuickItem* parent, const char* objectName) const;
    QString labelOf(const char* objectName) const;
    void click(QQuickItem* target);
    // Types text into the focused field, key by key, as the user would (no Enter or Tab).
    void typeText(const QString& text);
    // The delegate of a timeline row, once the list has laid it out.
    QQuickItem* row(int index) const;

    // Plays the timeline on virtual time until the playback reaches index; false if it never does.
    bool playTo(qint64 index);

    // The time playbacks go by; it outlives the engine.
    VirtualClock clock;
    // What build() hands the engine besides its services.
    EngineOptions engineOptions{QString(), QStringLiteral("1.0.0"), &clock};
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    QStringList logged;
    FakeDialogs dialogs;
    std::unique_ptr<MacroEngine> engine;
    std::unique_ptr<HotkeyCapture> hotkeyCapture;
    std::unique_ptr<SettingsState> settings;
    std::unique_ptr<ContentViewState> state;
    std::unique_ptr<QQmlApplicationEngine> qml;
    QQuickWindow* window = nullptr;
    FakeAccessibility* accessibility = nullptr;
    FakeInputMonitor* input = nullptr;
    FakeWorkspace* workspace = nullptr;
    FakeHotkeyService* hotkeys = nullptr;
    FakeUpdateFetcher* updates = nullptr;
};

} // namespace loopwren
