#pragma once
// The window toolkit operations the program relies on: message and input
// boxes, modal dialogs, the event loop, starting programs, the application's
// identity and the screen. Every interaction with a person goes through
// here, so that tests can answer it through Hooks.

#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace toolkit {

// Message box styles and answers.
constexpr int vbOKOnly = 0;
constexpr int vbYesNo = 4;
constexpr int vbCritical = 16;
constexpr int vbExclamation = 48;
constexpr int vbDefaultButton2 = 256;  // the second button (No) is the default
constexpr int vbOK = 1;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// Shows a message box; the title defaults to the application title.
// Returns vbOK, vbYes or vbNo.
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {});

// Shows an input box; returns the typed text, or an empty text on Cancel.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

// Shows a dialog modally (nested event loop); returns when it is hidden or closed.
int ShowModal(QDialog* dialog);

// Keeps the focus frame shown whenever the focus did not come from the mouse.
void KeepFocusVisible();

// Processes all pending events once.
void DoEvents();

// Starts a program by command line, without waiting. False when it cannot start.
bool Shell(const QString& commandLine);
// Opens an address or file through the desktop's handler, without waiting.
bool OpenUrl(const QUrl& url);

// Ends the process at once.
void EndProcess();

// True when another copy of the program holds the single-instance lock.
bool PrevInstance();

QString AppTitle();
int AppMajor();
int AppMinor();
int AppRevision();
QString AppPath();  // the folder of the executable

// Screen size and conversions; 1440 twips per logical inch.
int ScreenWidthTwips();
int ScreenHeightTwips();
int TwipsToPixels(double twips);
double PixelsToTwips(int pixels);

// A rectangle given in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);
// Moves a window so that its centre lies over the centre of another's outer
// bounds, keeping its size, wherever that lies.
void CentreOver(QWidget* window, const QWidget* over);

// Loads Qt's own Simplified Chinese texts for the standard dialogs.
void InstallChineseTranslation();

// Replacements for the person in front of the screen (tests, screenshots).
// An unset hook leaves the real behaviour in place.
struct Hooks {
    std::function<int(const QString& prompt, int style, const QString& title)> msgBox;
    std::function<QString(const QString& prompt, const QString& title, const QString& defaultText)> inputBox;
    std::function<void(QDialog* dialog)> onModal;  // runs inside the dialog's event loop
    std::function<bool(const QString& commandLine)> shell;
    std::function<bool(const QUrl& url)> openUrl;
    std::function<void()> endProcess;
};
void SetHooks(Hooks hooks);
const Hooks& CurrentHooks();

}  // namespace toolkit
