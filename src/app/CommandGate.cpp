#include "app/CommandGate.h"

#include "session/inet/internet_api.h"

CommandGate::CommandGate(QObject* parent) : QObject(parent)
{
    m_retry.setInterval(10);
    connect(&m_retry, &QTimer::timeout, this, &CommandGate::runNextHeld);
}

bool CommandGate::holding() const
{
    return !m_held.empty() || inet::RequestInProgress();
}

void CommandGate::run(std::function<void()> command)
{
    if (!holding()) {
        command();
        return;
    }
    m_held.push_back(std::move(command));
    m_retry.start();
}

// One command a turn: the first may start another library call, which
// holds the rest again.
void CommandGate::runNextHeld()
{
    if (inet::RequestInProgress())
        return;
    std::function<void()> command = std::move(m_held.front());
    m_held.pop_front();
    if (m_held.empty())
        m_retry.stop();
    command();
}
