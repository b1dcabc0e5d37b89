#include "testclient.h"

#include "x11testenvironment.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

namespace loopwren {

std::unique_ptr<TestClient> TestClient::start(const Options& options, std::string* problem)
{
    std::vector<std::string> words{LOOPWREN_X11_TEST_CLIENT, "--instance", options.instance, "--class"};
    words.insert(words.end(),
                 {options.className, "--windows", std::to_string(options.windows), "--type", options.type});
    if (!options.withPid)
        words.push_back("--no-pid");
    if (options.skipTaskbar)
        words.push_back("--skip-taskbar");
    if (!options.display.empty()) {
        words.push_back("--display");
        words.push_back(options.display);
    }
    int from = -1;
    const pid_t pid = X11TestEnvironment::spawn(words, 1, &from);
    if (pid <= 0) {
        if (from >= 0)
            close(from);
        *problem = std::string("cannot start ") + LOOPWREN_X11_TEST_CLIENT;
        return nullptr;
    }
    std::unique_ptr<TestClient> client(new TestClient(pid));
    const std::string line = X11TestEnvironment::readLine(from, std::chrono::seconds(10));
    close(from);

    std::istringstream words_in(line);
    std::string word;
    words_in >> word;
    if (word != "windows") {
        *problem = "the test client did not report its windows (got \"" + line + "\")";
        return nullptr;
    }
    while (words_in >> word)
        client->m_windows.push_back(std::stoul(word, nullptr, 16));
    if (client->m_windows.size() != static_cast<std::size_t>(options.windows)) {
        *problem = "the test client reported " + std::to_string(client->m_windows.size()) + " windows";
        return nullptr;
    }
    return client;
}

TestClient::~TestClient()
{
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
}

} // namespace loopwren
