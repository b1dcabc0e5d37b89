#include "keypresswitness.h"

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

namespace loopwren {
namespace {

void intercepted(XPointer closure, XRecordInterceptData* data)
{
    if (data->category == XRecordFromServer && data->data_len > 0)
        reinterpret_cast<KeyPressWitness*>(closure)->seen(data->data[0] & 0x7fu, data->data[1]);
    XRecordFreeData(data);
}

} // namespace

std::unique_ptr<KeyPressWitness> KeyPressWitness::start(unsigned keycode)
{
    auto control = X11Connection::open({});
    auto data = X11Connection::open({});
    if (!control || !data)
        return nullptr;
    XRecordRange* range = XRecordAllocRange();
    if (!range)
        return nullptr;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyPress;
    XRecordClientSpec clients = XRecordAllClients;
    const XRecordContext context = XRecordCreateContext(control->display(), 0, &clients, 1, &range, 1);
    XFree(range);
    if (!context)
        return nullptr;
    XSync(control->display(), False);
    std::unique_ptr<KeyPressWitness> witness(
        new KeyPressWitness(std::move(control), std::move(data), context, keycode));
    if (!XRecordEnableContextAsync(witness->m_data->display(), context, &intercepted,
                                   reinterpret_cast<XPointer>(witness.get())))
        return nullptr;
    // The context reports StartOfData once it runs; waiting for the first reply makes sure it does.
    XSync(witness->m_control->display(), False);
    witness->presses();
    return witness;
}

KeyPressWitness::KeyPressWitness(std::unique_ptr<X11Connection> control, std::unique_ptr<X11Connection> data,
                                 unsigned long context, unsigned keycode)
    : m_control(std::move(control)), m_data(std::move(data)), m_context(context), m_keycode(keycode)
{
}

KeyPressWitness::~KeyPressWitness()
{
    XRecordDisableContext(m_control->display(), m_context);
    XSync(m_control->display(), False);
    // The data connection gets its EndOfData; it is closed with whatever is left unread.
    XRecordFreeContext(m_control->display(), m_context);
    XSync(m_control->display(), False);
}

void KeyPressWitness::seen(unsigned type, unsigned keycode)
{
    if (type == KeyPress && keycode == m_keycode)
        ++m_presses;
}

int KeyPressWitness::presses()
{
    XRecordProcessReplies(m_data->display());
    return m_presses;
}

} // namespace loopwren
