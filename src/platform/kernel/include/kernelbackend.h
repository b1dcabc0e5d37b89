#pragma once

#include "backend.h"

#include <memory>
#include <string>

namespace loopwren {

class UinputDevice;

// Any session, Wayland's included: input is played through a uinput device of LoopWren's own, which
// the kernel hands to the desktop like any other mouse and keyboard. Recording through the kernel's
// input devices comes next; until then this backend only plays.
class KernelBackend : public Backend
{
    Q_OBJECT

public:
    struct Opened
    {
        std::unique_ptr<KernelBackend> backend;
        QString problem; // why there is none
    };
    // Makes the replay device; uinputPath is for tests.
    static Opened open(const std::string& uinputPath = "/dev/uinput");
    ~KernelBackend() override;

    QString name() const override { return QStringLiteral("kernel"); }
    Abilities abilities() override;
    void provide(PlatformServices& services, const FrontEndHooks& hooks) override;

private:
    explicit KernelBackend(std::shared_ptr<UinputDevice> device);

    std::shared_ptr<UinputDevice> m_device;
};

} // namespace loopwren
