#include "platform/PowerOffCountdownDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace platform {

PowerOffCountdownDialog::PowerOffCountdownDialog(const QString& text, const QString& powerOffNow, const QString& cancel,
                                                 int seconds, QWidget* parent)
    : QDialog(parent), m_text(text), m_left(std::max(seconds, 0))
{
    setObjectName(QStringLiteral("dlgPowerOff"));
    setWindowTitle(parent ? parent->windowTitle() : QString());
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblPowerOffCountdown"));
    m_label->setWordWrap(true);
    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));

    auto* buttons = new QDialogButtonBox(this);
    m_powerOffNow = buttons->addButton(powerOffNow, QDialogButtonBox::AcceptRole);
    m_powerOffNow->setObjectName(QStringLiteral("cmdPowerOffNow"));
    m_cancel = buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cmdCancelPowerOff"));
    // A key pressed by chance must not power the machine off.
    m_cancel->setDefault(true);
    m_cancel->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(m_label, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    m_label->setMinimumWidth(m_label->fontMetrics().horizontalAdvance(m_text.arg(seconds)) + 8);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &PowerOffCountdownDialog::tick);
    m_label->setText(m_text.arg(m_left));
    m_timer->start();
    if (m_left == 0)
        QTimer::singleShot(0, this, &QDialog::accept);
}

void PowerOffCountdownDialog::tick()
{
    m_left = std::max(0, m_left - 1);
    m_label->setText(m_text.arg(m_left));
    if (m_left == 0) {
        m_timer->stop();
        accept();
    }
}

} // namespace platform
