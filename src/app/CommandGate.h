#pragma once
// Commands reach the window from clicks, keys and menus, but also from
// timers, accessibility actions and posted events, and the window processes
// those while a library call blocks so that it keeps painting. A command
// that arrives during such a call is held and runs once the call has
// returned, in the order the commands came, so that nothing can close a
// connection under a running transfer. The folder walks' yields between
// entries are not library calls: commands run there as they arrive.

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

class CommandGate : public QObject {
    Q_OBJECT
public:
    explicit CommandGate(QObject* parent = nullptr);

    // Runs command now, or holds it while a library call is in progress.
    void run(std::function<void()> command);
    // True while a command arriving now would be held: a library call is in
    // progress, or earlier commands still wait their turn.
    bool holding() const;

private:
    void runNextHeld();

    std::deque<std::function<void()>> m_held;
    QTimer m_retry;
};
