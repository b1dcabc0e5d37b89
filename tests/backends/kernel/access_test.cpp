// What the kernel backend says about itself where its devices cannot be used (as on this machine, whose
// kernel has no /dev/uinput at the path given), and the page "Grant Access" opens there.
#include "backendchoice.h"
#include "platformservices.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace loopwren {
namespace {

TEST(KernelAccess, WithoutItsDevicesTheBackendSaysWhyAndGrantAccessSaysWhatToRun)
{
    QTemporaryDir cache;
    ASSERT_EQ(::setenv("XDG_CACHE_HOME", cache.path().toUtf8().constData(), 1), 0);
    const std::unique_ptr<Backend> backend = openKernelBackend("/nonexistent/uinput");
    const Backend::Abilities can = backend->abilities();
    EXPECT_FALSE(can.play);
    EXPECT_EQ(can.playProblem,
              "cannot make the replay device through /nonexistent/uinput: No such file or directory");

    std::vector<QUrl> opened;
    FrontEndHooks hooks;
    hooks.openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    const PlatformServices services = backend->provide(hooks);
    // The window is never minimised where a Wayland client could not bring it back.
    EXPECT_FALSE(backend->windowEffects().restoresMinimizedWindow);
    EXPECT_FALSE(services.accessibility->isInputAccessGranted());
    services.accessibility->requestInputAccess();
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_TRUE(opened[0].toLocalFile().startsWith(cache.path() + u'/'));
    QFile page(opened[0].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    // What to run for each permission: the input service first, the group as the fallback with the new
    // login it needs and what it lets every program do, in English and in Indonesian.
    for (const char* needed :
         {"60-loopwren-uinput.rules", "modprobe uinput", "loopwren-inputd", "lends input to this",
          "enable --now loopwren-inputd.socket", "usermod -aG input", "log in again", "every key typed",
          "loopwren-cli doctor", "lang=\"id\"", "layanan input LoopWren", "login ulang", "kata sandi"})
        EXPECT_TRUE(text.contains(QLatin1String(needed))) << needed;
}

} // namespace
} // namespace loopwren
