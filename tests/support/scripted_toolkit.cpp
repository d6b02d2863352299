#include "support/scripted_toolkit.h"

#include <QAbstractButton>

namespace testsupport {

ScriptedToolkit::ScriptedToolkit()
{
    toolkit::Hooks hooks;
    hooks.msgBox = [this](const QString& prompt, int style, const QString& title) {
        msgBoxes.append({prompt, style, title});
        if (!msgBoxAnswers.isEmpty())
            return msgBoxAnswers.takeFirst();
        return (style & 7) == toolkit::vbYesNo ? toolkit::vbNo : toolkit::vbOK;
    };
    hooks.inputBox = [this](const QString& prompt, const QString& title, const QString& defaultText) {
        inputBoxes.append({prompt, title, defaultText});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    };
    hooks.onModal = [this](QDialog* dialog) {
        modalShown.append(dialog->objectName());
        if (!modalScripts.isEmpty())
            modalScripts.takeFirst()(dialog);
        else
            dialog->hide();
    };
    hooks.shell = [this](const QString& commandLine) {
        shellCommands.append(commandLine);
        return shellResult;
    };
    hooks.openUrl = [this](const QUrl& url) {
        openedUrls.append(url);
        return openUrlResult;
    };
    hooks.endProcess = [this] { ++endProcessCalls; };
    toolkit::SetHooks(hooks);
}

ScriptedToolkit::~ScriptedToolkit() { toolkit::SetHooks({}); }

void ScriptedToolkit::click(QDialog* dialog, const char* buttonName)
{
    if (auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(buttonName)))
        button->click();
}

}  // namespace testsupport
