#include "testdesktop.h"

#include "x11testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace loopwren {

TestDesktop::TestDesktop()
{
    if (!m_root.isValid()) {
        m_problem = "cannot create a temporary folder";
        return;
    }
    const std::string root = m_root.path().toStdString();
    for (const char* folder : {"/home/applications", "/share0/applications", "/share1/applications"})
        QDir().mkpath(QString::fromStdString(root + folder));
    m_environment.set("XDG_DATA_HOME", root + "/home");
    m_environment.set("XDG_DATA_DIRS", root + "/share0:" + root + "/share1");
    // Untranslated names, whatever the machine's language.
    m_environment.set("LC_ALL", "C");
    m_inspector = WindowInspector::open();
    if (!m_inspector)
        m_problem = "cannot open the X display";
}

TestDesktop::~TestDesktop()
{
    // Windows gone before the inspector that may wait for them.
    m_clients.clear();
}

void TestDesktop::addEntry(int folder, const std::string& fileName, const std::string& content)
{
    QFile file(m_root.path() + QStringLiteral("/share%1/applications/").arg(folder) +
               QString::fromStdString(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName;
    file.write(content.c_str());
}

std::string TestDesktop::entry(const std::string& name, const std::string& extraLines)
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=true\n" + extraLines;
}

TestClient* TestDesktop::start(const TestClient::Options& options)
{
    std::string problem;
    auto client = TestClient::start(options, &problem);
    if (!client) {
        ADD_FAILURE() << problem;
        return nullptr;
    }
    if (options.display.empty()) {
        const bool managed = X11TestEnvironment::waitUntil([&] {
            const auto listed = m_inspector->clientList();
            return std::all_of(client->windows().begin(), client->windows().end(), [&](unsigned long window) {
                return std::find(listed.begin(), listed.end(), window) != listed.end() &&
                       m_inspector->hasFrameExtents(window);
            });
        });
        if (!managed) {
            ADD_FAILURE() << "the window manager did not take on the windows of " << options.className;
            return nullptr;
        }
    }
    m_clients.push_back(std::move(client));
    return m_clients.back().get();
}

} // namespace loopwren
