// Start-up, shutdown and playback of channels: BASS_Init, BASS_Free,
// BASS_ChannelPlay / Pause / Stop. The sinks live on one output thread with
// its own event loop, so the calling (user-interface) thread never feeds
// audio; calls hand their work to that thread and wait for its answer.

#include "engine/Playback.h"

#include "engine/AudioOutputWorker.h"
#include "engine/ChannelRegistry.h"
#include "engine/PlaybackDevices.h"

#include <QCoreApplication>
#include <QThread>
#include <mutex>

namespace engine {

namespace {

class PlaybackEngine {
public:
    int init(int device)
    {
        std::lock_guard lock(m_mutex);
        if (m_initialised)
            return BASS_ERROR_ALREADY;
        if (device == 0) {
            m_initialised = true; // no sound: decoding and encoding only
            return BASS_OK;
        }
        if (device < -1)
            return BASS_ERROR_DEVICE;
        if (!QCoreApplication::instance())
            return BASS_ERROR_DRIVER;
        const PlaybackDeviceChoice choice = choosePlaybackDevice(device);
        if (choice.error != BASS_OK)
            return choice.error;

        if (!m_postRoutineAdded) {
            // Stops the output thread before the application object goes
            // away, should the program end without BASS_Free.
            qAddPostRoutine([] { playbackEngine().shutdown(); });
            m_postRoutineAdded = true;
        }
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("audio output"));
        m_worker = new AudioOutputWorker(choice.device);
        m_worker->moveToThread(m_thread);
        m_thread->start();
        m_initialised = true;
        return BASS_OK;
    }

    int free()
    {
        {
            std::lock_guard lock(m_mutex);
            if (!m_initialised)
                return BASS_ERROR_INIT;
            stopThread();
            m_initialised = false;
        }
        ChannelRegistry::global().clear();
        return BASS_OK;
    }

    void shutdown()
    {
        std::lock_guard lock(m_mutex);
        stopThread();
    }

    bool initialised()
    {
        std::lock_guard lock(m_mutex);
        return m_initialised;
    }

    int play(DWORD handle, bool restart)
    {
        std::lock_guard lock(m_mutex);
        std::shared_ptr<ChannelSlot> slot;
        const int checked = checkChannel(handle, &slot);
        if (checked != BASS_OK)
            return checked;
        if (!m_worker)
            return BASS_ERROR_NOTAVAIL; // the "no sound" device
        return onWorker([&] { return m_worker->play(handle, slot, restart); });
    }

    int pause(DWORD handle)
    {
        std::lock_guard lock(m_mutex);
        const int checked = checkChannel(handle, nullptr);
        if (checked != BASS_OK)
            return checked;
        if (!m_worker)
            return BASS_ERROR_NOPLAY;
        return onWorker([&] { return m_worker->pause(handle); });
    }

    int stop(DWORD handle)
    {
        std::lock_guard lock(m_mutex);
        const int checked = checkChannel(handle, nullptr);
        if (checked == BASS_ERROR_DECODE)
            return BASS_OK; // a decoding channel never plays: nothing to stop
        if (checked != BASS_OK)
            return checked;
        if (!m_worker)
            return BASS_OK;
        return onWorker([&] { return m_worker->stop(handle); });
    }

    DWORD state(DWORD handle)
    {
        std::lock_guard lock(m_mutex);
        return m_worker ? m_worker->state(handle) : BASS_ACTIVE_STOPPED;
    }

    void forget(DWORD handle)
    {
        std::lock_guard lock(m_mutex);
        if (m_worker)
            onWorker([&] {
                m_worker->forget(handle);
                return 0;
            });
    }

    static PlaybackEngine& playbackEngine()
    {
        static PlaybackEngine engine;
        return engine;
    }

private:
    int checkChannel(DWORD handle, std::shared_ptr<ChannelSlot>* slotOut) const
    {
        if (!m_initialised)
            return BASS_ERROR_INIT;
        auto slot = ChannelRegistry::global().find(handle);
        if (!slot || !slot->channel)
            return BASS_ERROR_HANDLE;
        if (slot->flags & BASS_STREAM_DECODE)
            return BASS_ERROR_DECODE;
        if (slotOut)
            *slotOut = std::move(slot);
        return BASS_OK;
    }

    // Runs `work` on the output thread and waits for its result.
    template <typename Work> int onWorker(Work work)
    {
        if (QThread::currentThread() == m_thread)
            return work();
        int result = BASS_ERROR_UNKNOWN;
        QMetaObject::invokeMethod(
            m_worker, [&] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }

    void stopThread()
    {
        if (!m_thread)
            return;
        AudioOutputWorker* worker = m_worker;
        // The sinks must be destroyed on the thread that made them.
        QMetaObject::invokeMethod(
            worker, [worker] { delete worker; }, Qt::BlockingQueuedConnection);
        m_worker = nullptr;
        m_thread->quit();
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }

    std::mutex m_mutex;
    bool m_initialised = false;
    bool m_postRoutineAdded = false;
    QThread* m_thread = nullptr;
    AudioOutputWorker* m_worker = nullptr;
};

PlaybackEngine& playbackEngine()
{
    return PlaybackEngine::playbackEngine();
}

bool finish(int code)
{
    setLastError(code);
    return code == BASS_OK;
}

} // namespace

DWORD playbackState(DWORD handle)
{
    return playbackEngine().state(handle);
}

void forgetPlayback(DWORD handle)
{
    playbackEngine().forget(handle);
}

bool engineInitialised()
{
    return playbackEngine().initialised();
}

} // namespace engine

using namespace engine;

bool BASS_Init(int device, DWORD /*freq*/, DWORD /*flags*/, void* /*window*/, const void* /*clsid*/)
{
    // Each channel is played at its own rate, so the output rate asked for
    // here is not needed.
    return finish(playbackEngine().init(device));
}

bool BASS_Free()
{
    return finish(playbackEngine().free());
}

bool BASS_ChannelPlay(DWORD handle, bool restart)
{
    return finish(playbackEngine().play(handle, restart));
}

bool BASS_ChannelPause(DWORD handle)
{
    return finish(playbackEngine().pause(handle));
}

bool BASS_ChannelStop(DWORD handle)
{
    return finish(playbackEngine().stop(handle));
}
