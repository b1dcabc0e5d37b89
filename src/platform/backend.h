#pragma once

#include "platformservices.h"
#include "screenlayout.h"
#include "sessioncheck.h"
#include "windoweffects.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <vector>

namespace loopwren {

// What the front end contributes to a backend's services: how a page is shown to the user, and the
// screens. All run on the main thread; an empty openUrl leaves the backend to show the page its own way.
struct FrontEndHooks
{
    std::function<bool(const QUrl&)> openUrl;
    // The desktop's outputs as the front end's window system reports them, asked before each playback
    // by a backend that has to place the pointer itself (the kernel's). Empty: no layout is known.
    std::function<ScreenLayout()> screenLayout;
    // Whether the front end takes hotkeys: without, the backend grabs and reads nothing for them and
    // gives the null service (the command-line tool's, unless it is asked to watch them).
    bool hotkeys = true;
};

// One way of reaching the desktop: the X server, or the kernel's input devices. It hands out the
// services the engine needs and says what they can do in this session, for the access box and for
// `loopwren-cli doctor`. The application and the command-line tool choose one at start, and it serves
// the whole run.
class Backend : public QObject
{
    Q_OBJECT

public:
    struct Abilities
    {
        bool recordKeys = false;
        bool recordPointer = false; // clicks and moves, with their positions
        bool play = false;
        bool exclusiveHotkeys = false; // a hotkey's keys reach no other application
        bool placeWindows = false;
        // What stands in the way of recording or playing, for the user, where that cannot be done.
        QString recordProblem;
        QString playProblem;
        // Why clicks and moves are not recorded where keys are: the desktop does not say where its
        // pointer is.
        QString pointerProblem;
        // Why other applications' windows cannot be listed and placed, where they cannot.
        QString placeProblem;
    };

    virtual QString name() const = 0;
    virtual Abilities abilities() = 0;
    // The services this backend offers, made for the front end that hooks describes. Those it does not
    // offer (the stored preferences, the update check, the front end's window) are left empty, for the
    // front end to set.
    virtual PlatformServices provide(const FrontEndHooks& hooks) = 0;
    // What this backend looked at in the session, line by line, for `loopwren-cli doctor`.
    virtual std::vector<SessionCheck> checks() = 0;
    // The window's translucent backdrop, where the desktop offers one.
    virtual WindowEffects windowEffects() { return {}; }

signals:
    // The session the backend works in went away (its X server died, say); notice names what was lost,
    // as in "the connection to the X display :1". Sent once.
    void sessionLost(const QString& notice);
    // The input being recorded was taken back by whoever lent it (LoopWren's input service, when the
    // session stopped being the active one): the recording ends there, keeping what came before.
    // notice says why.
    void inputTakenBack(const QString& notice);
};

} // namespace loopwren
