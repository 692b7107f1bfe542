#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace controls {

class SliderWidget;

//! What a screen reader sees of the slider control: a slider
//! (QAccessible::Slider) with its value, least and greatest value and a step
//! of one, whose value it may set as the arrow keys would.
class QtSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit QtSliderAccessible(SliderWidget* slider);

    //! Makes every slider control answer with this interface (once per process).
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    SliderWidget* slider() const;
};

} // namespace controls
