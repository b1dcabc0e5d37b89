#pragma once

namespace loopwren {

// This application's own window, which the engine hides while it records or plays (where the user
// chose so) and shows again after. The front end that has a window acts on it; called on the main
// thread.
class OwnWindow
{
public:
    virtual ~OwnWindow() = default;

    // Whether show() brings back what hide() hid here: a Wayland client can minimise its window but
    // never restore it, so there the window stays.
    virtual bool canHide() const = 0;
    virtual void hide() = 0;
    virtual void show() = 0;
};

} // namespace loopwren
