#include "uifixture.h"

#include "logline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

namespace loopwren {

Timeline sampleTimeline()
{
    Timeline events;
    events.push_back(makeMouseEvent(EventType::mouseMoved, 412.6, 218.2));
    events.push_back(makeMouseEvent(EventType::mouseDown, 420, 224));
    events.push_back(makeMouseEvent(EventType::mouseUp, 420, 224));
    events.push_back(makeEvent(EventType::wait, 1.5));
    events.push_back(makeKeyEvent(EventType::keyDown, 4));
    events.push_back(makeKeyEvent(EventType::keyUp, 4));
    events.push_back(makeKeyEvent(EventType::keyDown, 14));
    events.push_back(makeKeyEvent(EventType::keyUp, 14));
    MacroEvent scroll = makeEvent(EventType::scroll, 0.4);
    scroll.scrollDeltaX = 0;
    scroll.scrollDeltaY = -3;
    events.push_back(scroll);
    events.push_back(makeMouseEvent(EventType::mouseDown, 96.9, 640.4, MouseButtonType::right));
    events.push_back(makeMouseEvent(EventType::mouseUp, 96.9, 640.4, MouseButtonType::right));
    events.push_back(makeKeyEvent(EventType::keyDown, 36));
    events[3].delaySincePrevious = 1.5;
    events[1].delaySincePrevious = 0.08;
    events[11].delaySincePrevious = 2.04;
    return events;
}

void UiFixture::SetUp()
{
    setLogSink([this](const QString& line) { logged.append(line); });
}

void UiFixture::TearDown()
{
    qml.reset();
    state.reset();
    settings.reset();
    hotkeyCapture.reset();
    engine.reset();
    drain();
    setLogSink({});
}

PlatformServices UiFixture::fakeServices()
{
    PlatformServices services;
    auto accessibilityOwned = std::make_unique<FakeAccessibility>();
    auto inputOwned = std::make_unique<FakeInputMonitor>();
    auto workspaceOwned = std::make_unique<FakeWorkspace>(journal);
    accessibility = accessibilityOwned.get();
    input = inputOwned.get();
    workspace = workspaceOwned.get();
    auto hotkeysOwned = std::make_unique<FakeHotkeyService>(journal);
    hotkeys = hotkeysOwned.get();
    services.hotkeys = std::move(hotkeysOwned);
    services.accessibility = std::move(accessibilityOwned);
    services.workspace = std::move(workspaceOwned);
    services.input = std::move(inputOwned);
    services.posters = std::make_unique<FakeInputPosterFactory>(journal);
    auto updatesOwned = std::make_unique<FakeUpdateFetcher>();
    updates = updatesOwned.get();
    services.updates = std::move(updatesOwned);
    return services;
}

void UiFixture::build(QVariantMap stored)
{
    PlatformServices services = fakeServices();
    services.preferences = std::make_unique<MemoryPreferencesStore>(std::move(stored));
    engine = std::make_unique<MacroEngine>(std::move(services), engineOptions);
    hotkeyCapture = std::make_unique<HotkeyCapture>(*engine);
    settings = std::make_unique<SettingsState>(*engine, *hotkeyCapture);
    state = std::make_unique<ContentViewState>(*engine, dialogs);
}

QQuickWindow& UiFixture::openWindow()
{
    qml = std::make_unique<QQmlApplicationEngine>();
    qml->setInitialProperties({{QStringLiteral("viewState"), QVariant::fromValue(state.get())},
                               {QStringLiteral("settingsState"), QVariant::fromValue(settings.get())},
                               {QStringLiteral("translucent"), false}});
    qml->load(QUrl(QStringLiteral("qrc:/qt/qml/LoopWren/Ui/Main.qml")));
    if (qml->rootObjects().isEmpty())
        throw std::runtime_error("Main.qml did not load");
    window = qobject_cast<QQuickWindow*>(qml->rootObjects().constFirst());
    if (!window || !QTest::qWaitForWindowExposed(window, 20000))
        throw std::runtime_error("the main window was not shown");
    drain();
    return *window;
}

void UiFixture::drain(int rounds)
{
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void UiFixture::wait(int ms) { QTest::qWait(ms); }

bool UiFixture::waitUntil(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 20000);
}

void UiFixture::setTimeline(Timeline events)
{
    engine->setRecordedEvents(std::move(events));
    drain();
}

namespace {

// QML parents an object to the component that created it, not to its visual parent, so both the object
// tree and the item tree are searched.
QQuickItem* findItem(QObject* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (auto* found = root->findChild<QQuickItem*>(name))
        return found;
    if (auto* item = qobject_cast<QQuickItem*>(root)) {
        for (QQuickItem* child : item->childItems()) {
            if (child->objectName() == name)
                return child;
            if (QQuickItem* found = findItem(child, name))
                return found;
        }
    }
    return nullptr;
}

} // namespace

QQuickItem* UiFixture::item(const char* objectName) const
{
    if (!window)
        return nullptr;
    const QString name = QString::fromUtf8(objectName);
    if (auto* found = window->findChild<QQuickItem*>(name))
        return found;
    return findItem(window->contentItem(), name);
}

QQuickItem* UiFixture::childOf(QQuickItem* parent, const char* objectName) const
{
    return findItem(parent, QString::fromUtf8(objectName));
}

QString UiFixture::labelOf(const char* objectName) const
{
    QQuickItem* found = item(objectName);
    if (!found)
        return QStringLiteral("<no %1>").arg(QString::fromUtf8(objectName));
    // A button's text is the label it shows; a text item shows its own.
    if (QQuickItem* label = childOf(found, "label"))
        return label->property("text").toString();
    return found->property("text").toString();
}

void UiFixture::click(QQuickItem* target)
{
    ASSERT_NE(target, nullptr);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    drain();
}

bool UiFixture::playTo(qint64 index)
{
    if (!engine->isPlaying())
        engine->startPlayback();
    // Millisecond steps: fine enough to stop on every event of a test's timeline.
    for (int step = 0; step < 100000 && engine->isPlaying(); ++step) {
        drain();
        if (engine->currentPlaybackIndex() == index)
            return true;
        clock.advanceBy(std::chrono::milliseconds(1));
    }
    return false;
}

void UiFixture::typeText(const QString& text)
{
    for (const QChar character : text)
        QTest::keyClick(window, character.toLatin1());
    drain();
}

QQuickItem* UiFixture::row(int index) const
{
    QQuickItem* list = item("timelineList");
    if (!list)
        return nullptr;
    QQuickItem* delegate = nullptr;
    QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem*, delegate), Q_ARG(int, index));
    return delegate;
}

} // namespace loopwren
