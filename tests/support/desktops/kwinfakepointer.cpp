#include "kwinfakepointer.h"

#include "fake-input-client-protocol.h"

#include <QDir>

#include <cstring>
#include <wayland-client.h>

namespace {

const wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
            auto** input = static_cast<org_kde_kwin_fake_input**>(data);
            // Absolute motion came with version 3.
            if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
                *input = static_cast<org_kde_kwin_fake_input*>(
                    wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3));
        },
    .global_remove = [](void*, wl_registry*, uint32_t) {},
};

} // namespace

KWinFakePointer::KWinFakePointer(const QString& runtimeFolder, const QString& display)
{
    m_display = wl_display_connect(QFile::encodeName(QDir(runtimeFolder).filePath(display)).constData());
    if (!m_display)
        return;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, &m_input);
    wl_display_roundtrip(m_display);
    if (m_input) {
        // KWin 5.27 grants every client that asks; later releases may ask the user.
        org_kde_kwin_fake_input_authenticate(m_input, "LoopWren tests", "moves the pointer for a test");
        wl_display_roundtrip(m_display);
    }
}

KWinFakePointer::~KWinFakePointer()
{
    if (m_input)
        org_kde_kwin_fake_input_destroy(m_input);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

bool KWinFakePointer::moveTo(double x, double y)
{
    if (!m_input)
        return false;
    org_kde_kwin_fake_input_pointer_motion_absolute(m_input, wl_fixed_from_double(x),
                                                    wl_fixed_from_double(y));
    return wl_display_roundtrip(m_display) >= 0;
}
