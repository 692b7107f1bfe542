#include "app/QtTheme.h"

#include "controls/ColorRef.h"
#include "controls/FramePanel.h"
#include "controls/LineWidget.h"
#include "controls/SliderWidget.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace app {

namespace {

controls::ColorRef toColorRef(const QColor& colour)
{
    return controls::colorRef(colour.red(), colour.green(), colour.blue());
}

QString css(const QColor& colour)
{
    return colour.name(QColor::HexRgb);
}

QColor colourProperty(const QWidget* widget, const char* name)
{
    return widget->property(name).value<QColor>();
}

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette colours = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, role, colour);
    widget->setPalette(colours);
}

void themePanel(controls::FramePanel* panel)
{
    panel->setBodyColorBottomLeft(theme::kBodyColor);
    panel->setBodyColorBottomRight(theme::kSecondBodyColor);
    panel->setBodyColorTopLeft(theme::kBodyColor);
    panel->setBorderColor(theme::kBorderColor);
    panel->setForeColor(theme::kTextColor);
    panel->setHeaderColorBottomLeft(theme::kBorderColor);
    panel->setHeaderColorTopLeft(theme::kSecondBodyColor);
}

void themeButton(QPushButton* button)
{
    for (const char* name : {"BackColor", "BackColorDisabled", "BackColorFocus", "BorderColor", "ToolTipBackColor"})
        button->setProperty(name, theme::kBodyColor);
    applyButtonColors(button);
}

void themeSlider(controls::SliderWidget* slider)
{
    // Each colour raises the slider's Change, which refreshes its value label.
    slider->setBackColor(toColorRef(theme::kBodyColor));
    slider->setForeColor2(toColorRef(theme::kBodyColor));
    slider->setForeColor(toColorRef(theme::kSliderFillColor));
}

bool isPicture(const QLabel* label)
{
    return !label->pixmap().isNull();
}

} // namespace

void applyButtonColors(QPushButton* button)
{
    const QColor back = colourProperty(button, "BackColor");
    const QColor disabled = colourProperty(button, "BackColorDisabled");
    const QColor focus = colourProperty(button, "BackColorFocus");
    // The edge is a shade of BorderColor so a button stays visible on a body
    // of the same colour.
    const QColor border = colourProperty(button, "BorderColor").darker(170);
    const QColor tip = colourProperty(button, "ToolTipBackColor");
    // Small square buttons (the window's own) keep their whole face for the
    // symbol.
    const bool square = button->width() <= button->height() + 4;
    const QString padding = square ? QStringLiteral("0px") : QStringLiteral("3px 8px");
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, "
                       "stop:1 %2); border: 1px solid %3; border-radius: 4px; padding: %13; }"
                       "QPushButton:hover { background-color: %4; }"
                       "QPushButton:focus { background-color: %5; border: 1px solid %6; }"
                       "QPushButton:pressed { background-color: %7; }"
                       "QPushButton:disabled { background-color: %8; color: %9; border-color: %10; }"
                       "QToolTip { background-color: %11; color: %12; border: 1px solid %3; }")
            .arg(css(back.lighter(112)), css(back.darker(104)), css(border), css(back.lighter(118)),
                 css(focus.lighter(108)), css(border.darker(130)), css(back.darker(115)), css(disabled),
                 css(disabled.darker(180)), css(disabled.darker(130)), css(tip), css(theme::kTextColor), padding));
}

void ApplyTheme(QWidget* window)
{
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (auto* panel = qobject_cast<controls::FramePanel*>(control)) {
            if (panel->objectName() != QLatin1String("MyFrame1"))
                themePanel(panel);
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            themeButton(button);
        } else if (auto* textBox = qobject_cast<QLineEdit*>(control)) {
            // The line edit inside an editable list belongs to the list.
            if (!qobject_cast<QComboBox*>(textBox->parentWidget()))
                setBackground(textBox, QPalette::Base, theme::kBodyColor);
        } else if (auto* grid = qobject_cast<QTableView*>(control)) {
            setBackground(grid, QPalette::Base, theme::kBodyColor);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            if (list->objectName() != QLatin1String("ComboLang")) {
                setBackground(list, QPalette::Button, theme::kBodyColor);
                setBackground(list, QPalette::Base, theme::kBodyColor);
            }
        } else if (auto* slider = qobject_cast<controls::SliderWidget*>(control)) {
            themeSlider(slider);
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            // Labels are transparent: the colour is kept, the panel shows
            // through.
            if (!isPicture(label)) {
                label->setProperty("BackColor", theme::kTextColor);
                setBackground(label, QPalette::Window, theme::kTextColor);
            }
        } else if (auto* line = qobject_cast<controls::LineWidget*>(control)) {
            line->setBorderColor(theme::kTextColor);
        }
    }
}

} // namespace app
