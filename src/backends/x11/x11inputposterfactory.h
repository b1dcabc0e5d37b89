#pragma once

#include "inputposter.h"

#include <memory>
#include <string>

namespace loopwren {

// Hands out one XTEST poster, with its own connection, per playback.
class X11InputPosterFactory : public InputPosterFactory
{
public:
    // An empty display name means $DISPLAY.
    explicit X11InputPosterFactory(std::string displayName = {});

    std::unique_ptr<InputPoster> create() override;

private:
    std::string m_displayName;
};

} // namespace loopwren
