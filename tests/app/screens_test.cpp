// The window on screens of many sizes and scales and with a larger font:
// it stays on the screen, no control leaves it or covers another, and every
// caption fits. A screen is fixed when the program starts, so each one runs
// this test program again on an offscreen screen made for it.
#include "app/toolkit.h"
#include "file_ops/frmFocus.h"
#include "help/frmAbout.h"
#include "session/frmMode.h"
#include "support/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const char* const kChildFlag = "QUILLON_SCREEN_CHILD";

bool isControl(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QGroupBox*>(w);
}

// The width a control needs to show its whole caption.
int captionWidth(const QWidget* w)
{
    const QStyle* style = w->style();
    const auto advance = [w](QString text) { return w->fontMetrics().horizontalAdvance(text.remove('&')); };
    if (auto* b = qobject_cast<const QPushButton*>(w))
        return advance(b->text()) + style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    if (auto* b = qobject_cast<const QCheckBox*>(w))
        return advance(b->text()) + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (auto* b = qobject_cast<const QRadioButton*>(w))
        return advance(b->text()) + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (auto* l = qobject_cast<const QLabel*>(w))
        return advance(l->text());
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return advance(g->title());
    return 0;
}

// Everything a person could see wrong with the window's layout.
void expectEveryControlShows(const QWidget& window)
{
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!isControl(w) || w->window() != &window || !w->isVisible())
            continue;
        const std::string name = (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName())
                                     .toStdString();
        const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(window.rect().contains(inWindow)) << name << " leaves the window";
        auto* wrapped = qobject_cast<const QLabel*>(w);
        if (wrapped && wrapped->wordWrap())
            EXPECT_GE(w->height(), w->heightForWidth(w->width())) << name << " cuts its caption";
        else
            EXPECT_GE(w->width(), captionWidth(w)) << name << " cuts its caption";
        if (auto* box = qobject_cast<const QGroupBox*>(w)) {
            for (const QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                EXPECT_GE(child->y(), box->contentsMargins().top()) << name << " hides its title";
        }
        for (const QWidget* other : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w && isControl(other) && other->isVisible()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << name << " covers " << other->objectName().toStdString();
            }
        }
    }
}

TEST(ScreenChild, TheWindowFitsItsScreenAndEveryCaptionShows)
{
    if (qEnvironmentVariableIsEmpty(kChildFlag))
        GTEST_SKIP() << "runs only on a screen made by ScreenFit";
    if (const int points = qEnvironmentVariableIntValue("QUILLON_FONT_PT")) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ScriptedToolkit person;
    FakeInternet net;
    frmMain window;
    window.Form_Load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QScreen* screen = window.screen();
    EXPECT_TRUE(screen->availableGeometry().contains(window.frameGeometry()))
        << "window " << window.frameGeometry().x() << ',' << window.frameGeometry().y() << ' '
        << window.width() << 'x' << window.height();
    const QSize design(toolkit::TwipsToPixels(15750), toolkit::TwipsToPixels(11850));
    if (!qEnvironmentVariableIsEmpty("QUILLON_EXPECT_DESIGN")) {
        EXPECT_EQ(window.size(), design);
        EXPECT_EQ(window.pos(), QPoint((screen->geometry().width() - design.width()) / 2,
                                       (screen->geometry().height() - design.height()) / 2));
    } else {
        EXPECT_TRUE(window.width() < design.width() || window.height() < design.height());
    }
    expectEveryControlShows(window);

    // The dialogs keep their design sizes at the desktop's own font, scaled
    // or not, and grow with a larger one; their captions fit either way.
    frmFocus chooser(&window);
    frmMode mode(&window);
    frmAbout about(&window);
    const QSize chooserDesign(toolkit::TwipsToPixels(5310), toolkit::TwipsToPixels(1890));
    if (!qEnvironmentVariableIntValue("QUILLON_FONT_PT")) {
        EXPECT_EQ(chooser.size(), chooserDesign);
    }
    mode.Form_Load();
    about.Form_Load();
    for (QDialog* dialog : std::initializer_list<QDialog*>{&chooser, window.LoadInternetDialog(), &mode, &about}) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_TRUE(screen->availableGeometry().contains(dialog->frameGeometry()));
        expectEveryControlShows(*dialog);
        dialog->hide();
    }
}

TEST(ScreenFit, SmallScaledAndLargeFontScreens)
{
    if (!qEnvironmentVariableIsEmpty(kChildFlag))
        GTEST_SKIP();
    const struct {
        const char* name;
        int width, height, dpi;
        bool qtScales;  // false: the desktop gives the dpi to the fonts alone
        int fontPoints;
        bool design;    // the window keeps its design size and centre
    } screens[] = {
        {"1366x768", 1366, 768, 96, true, 0, false},
        {"1280x1024 at 150 %", 1280, 1024, 144, true, 0, false},
        {"1280x1024 at 144 dpi", 1280, 1024, 144, false, 0, false},
        {"1920x1080 at 200 %", 1920, 1080, 192, true, 0, false},
        {"1920x1080 with 13 pt", 1920, 1080, 96, true, 13, true},
        {"1366x768 with 13 pt", 1366, 768, 96, true, 13, false},
    };
    QTemporaryDir folder;
    for (const auto& s : screens) {
        const QString config = folder.filePath(QString::fromLatin1(s.name).replace(' ', '_') + ".json");
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "s", "x": 0, "y": 0,
            "width": %1, "height": %2, "logicalDpi": %3, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(s.width)
                       .arg(s.height)
                       .arg(s.dpi)
                       .toUtf8());
        file.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
        env.insert(kChildFlag, "1");
        env.insert("QUILLON_FONT_PT", QString::number(s.fontPoints));
        env.insert("QT_ENABLE_HIGHDPI_SCALING", s.qtScales ? "1" : "0");
        env.remove("QUILLON_EXPECT_DESIGN");
        if (s.design)
            env.insert("QUILLON_EXPECT_DESIGN", "1");
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ScreenChild.*"});
        ASSERT_TRUE(child.waitForFinished(60000)) << s.name;
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << s.name << '\n' << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << s.name << '\n' << output.toStdString();
    }
}

}  // namespace
