#include "options/QtOptionButtonAccessible.h"

#include <QRadioButton>

namespace options {

namespace {

QAccessibleInterface* optionButtonInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("QRadioButton"))
        return nullptr;
    auto* button = qobject_cast<QRadioButton*>(object);
    return button ? new QtOptionButtonAccessible(button) : nullptr;
}

//! The caption as it reads: without the "&" that marks a mnemonic ("&&" is one "&").
QString withoutMnemonic(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

} // namespace

QtOptionButtonAccessible::QtOptionButtonAccessible(QRadioButton* button)
    : QAccessibleWidget(button, QAccessible::RadioButton)
{
}

void QtOptionButtonAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(optionButtonInterface);
        return true;
    }();
    static_cast<void>(installed);
}

QRadioButton* QtOptionButtonAccessible::button() const
{
    return static_cast<QRadioButton*>(widget());
}

QAccessible::State QtOptionButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    return state;
}

QString QtOptionButtonAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Name && widget()->accessibleName().isEmpty())
        return withoutMnemonic(button()->text());
    return QAccessibleWidget::text(type);
}

QStringList QtOptionButtonAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void QtOptionButtonAccessible::doAction(const QString& action)
{
    if (action == pressAction()) {
        if (button()->isEnabled())
            button()->click();
        return;
    }
    QAccessibleWidget::doAction(action);
}

} // namespace options
