#pragma once
// Stands in for the person at the screen: answers message boxes, input
// boxes and modal dialogs from queues, and records what the program asked,
// started and opened. Installed for its lifetime.

#include "app/toolkit.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace testsupport {

class ScriptedToolkit {
public:
    struct MsgBoxCall {
        QString prompt;
        int style = 0;
        QString title;
    };
    struct InputBoxCall {
        QString prompt;
        QString title;
        QString defaultText;
    };
    using ModalScript = std::function<void(QDialog*)>;

    ScriptedToolkit();
    ~ScriptedToolkit();

    // Answers, consumed in order. Without one, a message box answers OK
    // (No for Yes/No), an input box answers Cancel (empty text) and a modal
    // dialog is hidden at once.
    QList<int> msgBoxAnswers;
    QStringList inputAnswers;
    QList<ModalScript> modalScripts;
    bool shellResult = true;
    bool openUrlResult = true;

    // What happened.
    QList<MsgBoxCall> msgBoxes;
    QList<InputBoxCall> inputBoxes;
    QStringList modalShown;  // object names of the dialogs shown modally
    QStringList shellCommands;
    QList<QUrl> openedUrls;
    int endProcessCalls = 0;

    // Clicks a dialog's button found by object name (for modal scripts).
    static void click(QDialog* dialog, const char* buttonName);
};

}  // namespace testsupport
