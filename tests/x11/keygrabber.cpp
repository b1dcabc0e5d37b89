#include "keygrabber.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace loopwren {

std::unique_ptr<KeyGrabber> KeyGrabber::connect()
{
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&screens);
    return std::unique_ptr<KeyGrabber>(new KeyGrabber(connection, screens.data->root));
}

KeyGrabber::~KeyGrabber() { xcb_disconnect(m_connection); }

bool KeyGrabber::grab(std::uint8_t keycode, std::uint16_t modifiers)
{
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
    std::free(error);
    return error == nullptr;
}

} // namespace loopwren
