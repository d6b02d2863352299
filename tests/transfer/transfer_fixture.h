#pragma once
// The window on the in-memory server, with every hint the status bar showed
// between library calls kept in order.

#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QPushButton>
#include <QTimer>

#include <functional>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class TransferTest : public testsupport::FakeWindowTest {
protected:
    void SetUp() override
    {
        net.onCall = [this](const QString& call) {
            noteHint();
            if (onCall)
                onCall(call);
        };
    }

    static QString hint(const QString& text) { return QStringLiteral("提示: ") + text; }
    QString local(const QString& relative) const { return localRoot.path() + '/' + relative; }

    // Hints seen so far, the one showing now included.
    QStringList seenHints()
    {
        noteHint();
        return hints;
    }
    // Library calls recorded since the last clearCalls(), of one operation.
    QStringList callsOf(const QString& operation) const { return net.calls.filter(operation + '('); }
    void clearCalls()
    {
        net.calls.clear();
        hints.clear();
    }
    // Presses 取消操作 at the walk's next yield.
    void cancelAtNextYield() { QTimer::singleShot(0, window->cmdCancel, &QPushButton::click); }

    std::function<void(const QString&)> onCall;

private:
    void noteHint()
    {
        const QString shown = panel1();
        if (hints.isEmpty() || hints.last() != shown)
            hints.append(shown);
    }
    QStringList hints;
};
