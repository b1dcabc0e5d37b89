#pragma once

namespace loopwren {

// Whether this process may watch input, synthesise input and move other applications' windows.
class Accessibility
{
public:
    virtual ~Accessibility() = default;

    virtual bool isInputAccessGranted() = 0;
    // Asks for the permission, or shows the user how to grant it.
    virtual void requestInputAccess() = 0;
};

} // namespace loopwren
