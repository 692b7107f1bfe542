#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace platform {

//! The countdown shown before the machine is powered off after a batch: a
//! line that counts the seconds down, "Power off now" and "Cancel". It is
//! accepted when the count runs out or "Power off now" is pressed, rejected
//! by "Cancel" (or Escape, or closing it).
class PowerOffCountdownDialog : public QDialog {
    Q_OBJECT
public:
    //! `text` holds "%1" for the seconds left.
    PowerOffCountdownDialog(const QString& text, const QString& powerOffNow, const QString& cancel, int seconds,
                            QWidget* parent = nullptr);

    int secondsLeft() const { return m_left; }
    QPushButton* powerOffNowButton() const { return m_powerOffNow; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void tick();

    QString m_text;
    int m_left;
    QLabel* m_label = nullptr;
    QPushButton* m_powerOffNow = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace platform
