#include "controls/QtSliderAccessible.h"

#include "controls/SliderWidget.h"

namespace controls {

namespace {

QAccessibleInterface* sliderInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("controls::SliderWidget"))
        return nullptr;
    auto* slider = qobject_cast<SliderWidget*>(object);
    return slider ? new QtSliderAccessible(slider) : nullptr;
}

} // namespace

QtSliderAccessible::QtSliderAccessible(SliderWidget* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

void QtSliderAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(sliderInterface);
        return true;
    }();
    static_cast<void>(installed);
}

SliderWidget* QtSliderAccessible::slider() const
{
    return static_cast<SliderWidget*>(widget());
}

void* QtSliderAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString QtSliderAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return QString::number(slider()->Value());
    return QAccessibleWidget::text(type);
}

QVariant QtSliderAccessible::currentValue() const
{
    return slider()->Value();
}

void QtSliderAccessible::setCurrentValue(const QVariant& value)
{
    // As the keyboard sets it: limited to the range, and its owner told.
    slider()->setValue(value.toInt());
}

QVariant QtSliderAccessible::maximumValue() const
{
    return slider()->Max();
}

QVariant QtSliderAccessible::minimumValue() const
{
    return slider()->Min();
}

QVariant QtSliderAccessible::minimumStepSize() const
{
    return 1;
}

} // namespace controls
