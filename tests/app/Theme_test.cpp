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
#include <functional>
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
        add<GridView>(frMain, "Grid");
        add<QComboBox>(page, "cmbMP3Freq");
        add<QComboBox>(frMain, "ComboLang")->setPalette(QPalette(Qt::green));
        slider = add<controls::Slider>(page, "SliderMP3VBR");
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
        QObject::connect(slider, &controls::Slider::Change, [this] { ++sliderChanges; });
    }

    QWidget window;
    controls::Slider* slider = nullptr;
    int sliderChanges = 0;
};

TEST_F(ThemeTest, EachControlKindTakesItsColours)
{
    ApplyTheme(&window);

    struct Case {
        const char* control;
        std::function<QColor(const QWidget*)> read;
        QColor expected;
    };
    const auto panel = [](const char* name, QColor (controls::FramePanel::*getter)() const) {
        return [name, getter](const QWidget* w) {
            return (w->findChild<controls::FramePanel*>(QString::fromLatin1(name))->*getter)();
        };
    };
    using controls::FramePanel;
    const Case cases[] = {
        {"frMain BodyColorBottomLeft", panel("frMain", &FramePanel::BodyColorBottomLeft), kBody},
        {"frMain BodyColorBottomRight", panel("frMain", &FramePanel::BodyColorBottomRight), kSecondBody},
        {"frMain BodyColorTopLeft", panel("frMain", &FramePanel::BodyColorTopLeft), kBody},
        {"frMain BorderColor", panel("frMain", &FramePanel::BorderColor), kBorder},
        {"frMain ForeColor", panel("frMain", &FramePanel::ForeColor), kText},
        {"frMain HeaderColorBottomLeft", panel("frMain", &FramePanel::HeaderColorBottomLeft), kBorder},
        {"frMain HeaderColorTopLeft", panel("frMain", &FramePanel::HeaderColorTopLeft), kSecondBody},
        {"nested page BodyColorBottomRight", panel("frFormat_2", &FramePanel::BodyColorBottomRight), kSecondBody},
        {"MyFrame1 keeps its design", panel("MyFrame1", &FramePanel::BorderColor), QColor(1, 2, 3)},
        {"label text on a panel", [](const QWidget* w) { return role(w, "Label23", QPalette::WindowText); }, kText},
        {"button BackColor", [](const QWidget* w) { return colour(w, "cmdConvert", "BackColor"); }, kBody},
        {"button BackColorDisabled", [](const QWidget* w) { return colour(w, "cmdConvert", "BackColorDisabled"); },
         kBody},
        {"button BackColorFocus", [](const QWidget* w) { return colour(w, "cmdConvert", "BackColorFocus"); }, kBody},
        {"button BorderColor", [](const QWidget* w) { return colour(w, "cmdConvert", "BorderColor"); }, kBody},
        {"button ToolTipBackColor", [](const QWidget* w) { return colour(w, "cmdConvert", "ToolTipBackColor"); },
         kBody},
        {"text box", [](const QWidget* w) { return role(w, "txtOutPath", QPalette::Base); }, kBody},
        {"grid", [](const QWidget* w) { return role(w, "Grid", QPalette::Base); }, kBody},
        {"drop-down list", [](const QWidget* w) { return role(w, "cmbMP3Freq", QPalette::Button); }, kBody},
        {"language box unchanged", [](const QWidget* w) { return role(w, "ComboLang", QPalette::Button); },
         QColor(Qt::green)},
        {"label BackColor", [](const QWidget* w) { return colour(w, "Label23", "BackColor"); }, kText},
        {"picture unchanged", [](const QWidget* w) { return colour(w, "Image1", "BackColor"); }, QColor()},
        {"line", [](const QWidget* w) { return w->findChild<controls::LineWidget*>()->BorderColor(); }, kText},
        {"option button unchanged", [](const QWidget* w) { return role(w, "optMP3VBR", QPalette::Button); },
         QColor(Qt::yellow)},
        {"check box unchanged", [](const QWidget* w) { return role(w, "chkShutdown", QPalette::Button); },
         QColor(Qt::yellow)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.read(&window), c.expected) << c.control;

    const auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdConvert"));
    EXPECT_FALSE(button->styleSheet().isEmpty()) << "the button paints from its colour properties";
}

TEST_F(ThemeTest, SlidersGetTheirChannelAndBlendEachColourRaisingChange)
{
    ApplyTheme(&window);
    EXPECT_EQ(rgb(slider->BackColor()), kBody);
    EXPECT_EQ(rgb(slider->ForeColor2()), kBody);
    EXPECT_EQ(rgb(slider->ForeColor()), QColor(255, 128, 255));
    EXPECT_EQ(sliderChanges, 3);
    EXPECT_EQ(rgb(slider->fillColor()), kBody); // at its maximum
    slider->setValue(0);
    EXPECT_EQ(rgb(slider->fillColor()), QColor(255, 128, 255));
}

} // namespace
