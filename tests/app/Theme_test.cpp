#include "app/QtTheme.h"
#include "controls/FramePanel.h"
#include "controls/LineWidget.h"
#include "controls/SliderWidget.h"
#include "filelist/GridView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

const QColor kBody(255, 192, 192);
const QColor kSecondBody(255, 128, 128);
const QColor kBorder(192, 64, 0);
const QColor kText(128, 64, 0);

template <typename Widget> Widget* add(QWidget* parent, const char* name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QColor colour(const QWidget* window, const char* name, const char* property)
{
    return window->findChild<QWidget*>(QString::fromLatin1(name))->property(property).value<QColor>();
}

QColor role(const QWidget* window, const char* name, QPalette::ColorRole colourRole)
{
    return window->findChild<QWidget*>(QString::fromLatin1(name))->palette().color(colourRole);
}

QColor rgb(controls::ColorRef value)
{
    return {controls::redOf(value), controls::greenOf(value), controls::blueOf(value)};
}

// One control of every kind, nested as on the window: panels in panels.
class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* frMain = add<controls::FramePanel>(&window, "frMain");
        add<controls::FramePanel>(frMain, "MyFrame1")->setBorderColor(QColor(1, 2, 3));
        auto* page = add<controls::FramePanel>(frMain, "frFormat_2");
        add<QPushButton>(page, "cmdConvert")->resize(120, 26);
        add<QLineEdit>(page, "txtOutPath");
        add<filelist::GridView>(frMain, "Grid");
        add<QComboBox>(page, "cmbMP3Freq");
        add<QComboBox>(frMain, "ComboLang")->setPalette(QPalette(Qt::green));
        slider = add<controls::SliderWidget>(page, "SliderMP3VBR");
        slider->setMin(0);
        slider->setMax(9);
        slider->setValue(9);
        add<QLabel>(page, "Label23");
        auto* picture = add<QLabel>(page, "Image1");
        QPixmap pixels(8, 8);
        pixels.fill(Qt::blue);
        picture->setPixmap(pixels);
        add<controls::LineWidget>(frMain, "Line1");
        add<QRadioButton>(page, "optMP3VBR")->setPalette(QPalette(Qt::yellow));
        add<QCheckBox>(frMain, "chkShutdown")->setPalette(QPalette(Qt::yellow));
        QObject::connect(slider, &controls::SliderWidget::Change, [this] { ++sliderChanges; });
    }

    QWidget window;
    controls::SliderWidget* slider = nullptr;
    int sliderChanges = 0;
};

TEST_F(ThemeTest, EachControlKindTakesItsColours)
{
    app::ApplyTheme(&window);

    using controls::FramePanel;
    const auto panelColours = [this](const char* name) {
        const auto* panel = window.findChild<FramePanel*>(QString::fromLatin1(name));
        return QList<QColor>{panel->BodyColorBottomLeft(), panel->BodyColorBottomRight(),
                             panel->BodyColorTopLeft(),    panel->BorderColor(),
                             panel->ForeColor(),           panel->HeaderColorBottomLeft(),
                             panel->HeaderColorTopLeft()};
    };
    const QList<QColor> themedPanel{kBody, kSecondBody, kBody, kBorder, kText, kBorder, kSecondBody};
    EXPECT_EQ(panelColours("frMain"), themedPanel);
    EXPECT_EQ(panelColours("frFormat_2"), themedPanel);
    EXPECT_EQ(panelColours("MyFrame1")[3], QColor(1, 2, 3)) << "MyFrame1 keeps its design";
    for (const char* property : {"BackColor", "BackColorDisabled", "BackColorFocus", "BorderColor", "ToolTipBackColor"})
        EXPECT_EQ(colour(&window, "cmdConvert", property), kBody) << property;

    struct Case {
        const char* control;
        QColor actual;
        QColor expected;
    };
    const Case cases[] = {
        {"label text on a panel", role(&window, "Label23", QPalette::WindowText), kText},
        {"text box", role(&window, "txtOutPath", QPalette::Base), kBody},
        {"grid", role(&window, "Grid", QPalette::Base), kBody},
        {"drop-down list", role(&window, "cmbMP3Freq", QPalette::Button), kBody},
        {"language box unchanged", role(&window, "ComboLang", QPalette::Button), QColor(Qt::green)},
        {"label BackColor", colour(&window, "Label23", "BackColor"), kText},
        {"picture unchanged", colour(&window, "Image1", "BackColor"), QColor()},
        {"line", window.findChild<controls::LineWidget*>()->BorderColor(), kText},
        {"option button unchanged", role(&window, "optMP3VBR", QPalette::Button), QColor(Qt::yellow)},
        {"check box unchanged", role(&window, "chkShutdown", QPalette::Button), QColor(Qt::yellow)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.control;

    const auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdConvert"));
    EXPECT_FALSE(button->styleSheet().isEmpty()) << "the button paints from its colour properties";
}

TEST_F(ThemeTest, SlidersGetTheirChannelAndBlendEachColourRaisingChange)
{
    app::ApplyTheme(&window);
    EXPECT_EQ(rgb(slider->BackColor()), kBody);
    EXPECT_EQ(rgb(slider->ForeColor2()), kBody);
    EXPECT_EQ(rgb(slider->ForeColor()), QColor(255, 128, 255));
    EXPECT_EQ(sliderChanges, 3);
    EXPECT_EQ(rgb(slider->fillColor()), kBody); // at its maximum
    slider->setValue(0);
    EXPECT_EQ(rgb(slider->fillColor()), QColor(255, 128, 255));
}

} // namespace
