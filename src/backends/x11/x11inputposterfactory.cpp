#include "x11inputposterfactory.h"

#include "x11inputposter.h"

namespace loopwren {

X11InputPosterFactory::X11InputPosterFactory(std::string displayName) : m_displayName(std::move(displayName))
{
}

std::unique_ptr<InputPoster> X11InputPosterFactory::create() { return X11InputPoster::create(m_displayName); }

} // namespace loopwren
