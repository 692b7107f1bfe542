#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

//! Turns SIGTERM (what a service manager or the end of a session sends) into
//! a signal on the thread that made the object, so the program can end the
//! way the user would end it. One at a time; the handler is removed again
//! when the object goes.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;

Q_SIGNALS:
    void terminationRequested();

private:
    static void onSignal(int);
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
