#pragma once

#include <QAccessibleWidget>

class QRadioButton;

namespace options {

//! What a screen reader sees of an option button bound to an option state:
//! a radio button, checked or not, pressed by its action. Qt names a radio
//! button a check box when it is not exclusive by itself, and the bound
//! buttons are not: their group lives in the state, where it may have no
//! option on.
class QtOptionButtonAccessible : public QAccessibleWidget {
public:
    explicit QtOptionButtonAccessible(QRadioButton* button);

    //! Makes every radio button answer with this interface (once per process).
    static void install();

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    QRadioButton* button() const;
};

} // namespace options
