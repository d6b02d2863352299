#include "app/toolkit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFocusEvent>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cmath>
#include <memory>
#include <unistd.h>

namespace toolkit {
namespace {

Hooks& hooks()
{
    static Hooks h;
    return h;
}

std::unique_ptr<QLockFile>& instanceLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

// A dialog left open by a test script must not hang the run.
constexpr int kScriptedModalTimeoutMs = 15000;

// Gives the keyboard focus back to the control that opened a dialog once
// the dialog is gone, as long as that control can still take it.
class FocusReturn {
public:
    explicit FocusReturn(const QWidget* dialog = nullptr) : m_opener(opener(dialog)) {}
    ~FocusReturn()
    {
        if (!m_opener || !m_opener->isVisible() || !m_opener->isEnabled())
            return;
        m_opener->activateWindow();
        m_opener->setFocus(Qt::OtherFocusReason);
    }

private:
    // A menu item's dialog opens while no control has the focus; the
    // focus control of the window it belongs to is then the one to return to.
    static QWidget* opener(const QWidget* dialog)
    {
        if (QWidget* focus = QApplication::focusWidget())
            return focus;
        const QWidget* window = dialog && dialog->parentWidget() ? dialog->parentWidget()->window()
                                                                : QApplication::activeWindow();
        return window ? window->focusWidget() : nullptr;
    }

    QPointer<QWidget> m_opener;
};

// Keeps the focus frame drawn whenever the focus did not come from the
// mouse: the toolkit shows it only after the first Tab otherwise, so a
// dialog opened by a key would hide where the keyboard acts.
class FocusShower : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::MouseFocusReason)
                static_cast<QWidget*>(watched)->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        }
        return false;
    }
};

}  // namespace

void SetHooks(Hooks h) { hooks() = std::move(h); }
const Hooks& CurrentHooks() { return hooks(); }

int MsgBox(const QString& prompt, int style, const QString& title)
{
    const QString caption = title.isEmpty() ? AppTitle() : title;
    if (hooks().msgBox)
        return hooks().msgBox(prompt, style, caption);
    const FocusReturn focus;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(prompt);
    if ((style & vbExclamation) == vbExclamation)
        box.setIcon(QMessageBox::Warning);
    else if (style & vbCritical)
        box.setIcon(QMessageBox::Critical);
    if ((style & 7) == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(style & vbDefaultButton2 ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return vbOK;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    const QString caption = title.isEmpty() ? AppTitle() : title;
    if (hooks().inputBox)
        return hooks().inputBox(prompt, caption, defaultText);
    QString shown = prompt;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    bool ok = false;
    const FocusReturn focus;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, shown,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

int ShowModal(QDialog* dialog)
{
    const FocusReturn focus(dialog);
    if (hooks().onModal) {
        QPointer<QDialog> guard(dialog);
        auto script = hooks().onModal;
        QTimer::singleShot(0, dialog, [guard, script] {
            if (guard)
                script(guard);
        });
        QTimer::singleShot(kScriptedModalTimeoutMs, dialog, [guard] {
            if (guard && guard->isVisible())
                guard->reject();
        });
    }
    return dialog->exec();
}

void KeepFocusVisible()
{
    static FocusShower* shower = nullptr;
    if (shower || !qApp)
        return;
    shower = new FocusShower;
    shower->setParent(qApp);
    qApp->installEventFilter(shower);
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool Shell(const QString& commandLine)
{
    if (hooks().shell)
        return hooks().shell(commandLine);
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return false;
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
}

bool OpenUrl(const QUrl& url)
{
    if (hooks().openUrl)
        return hooks().openUrl(url);
    return QDesktopServices::openUrl(url);
}

void EndProcess()
{
    if (hooks().endProcess) {
        hooks().endProcess();
        return;
    }
    if (instanceLock())
        instanceLock()->unlock();
    ::_exit(0);
}

bool PrevInstance()
{
    if (instanceLock())
        return false;  // this process holds the lock already
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/quillon.lock"));
    lock->setStaleLockTime(0);  // only a live holder counts; a killed one leaves a stale file
    if (!lock->tryLock(0))
        return lock->error() == QLockFile::LockFailedError;
    instanceLock() = std::move(lock);
    return false;
}

QString AppTitle() { return QStringLiteral("Quillon FTP 客户端"); }
int AppMajor() { return QUILLON_VERSION_MAJOR; }
int AppMinor() { return QUILLON_VERSION_MINOR; }
int AppRevision() { return QUILLON_VERSION_PATCH; }

QString AppPath() { return QCoreApplication::applicationDirPath(); }

int ScreenWidthTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(PixelsToTwips(screen->geometry().width())) : 0;
}

int ScreenHeightTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(PixelsToTwips(screen->geometry().height())) : 0;
}

int TwipsToPixels(double twips) { return int(std::lround(twips * logicalDpi() / 1440.0)); }
double PixelsToTwips(int pixels) { return pixels * 1440.0 / logicalDpi(); }

QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

void CentreOver(QWidget* window, const QWidget* over)
{
    const QRect outer = over->frameGeometry();
    const QSize own = window->frameGeometry().size();
    const double left = outer.width() / 2.0 + outer.left() - own.width() / 2.0;
    const double top = outer.height() / 2.0 + outer.top() - own.height() / 2.0;
    window->move(int(std::lround(left)), int(std::lround(top)));
}

void InstallChineseTranslation()
{
    static QTranslator translator;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QStringLiteral("qtbase_zh_CN"), folder))
        QCoreApplication::installTranslator(&translator);
}

}  // namespace toolkit
