#include "engine/PlaybackDevices.h"

#include "engine/Bass.h"

#include <QMediaDevices>

namespace engine {

PlaybackDeviceChoice choosePlaybackDevice(int device)
{
    PlaybackDeviceChoice choice;
    // The default output first, then the others in the sound server's order.
    QList<QAudioDevice> outputs;
    const QAudioDevice preferred = QMediaDevices::defaultAudioOutput();
    if (!preferred.isNull())
        outputs.append(preferred);
    for (const QAudioDevice& output : QMediaDevices::audioOutputs()) {
        if (output != preferred)
            outputs.append(output);
    }
    if (outputs.isEmpty()) {
        choice.error = BASS_ERROR_DRIVER;
        return choice;
    }

    if (device == -1 || device == 1) {
        const QString named = qEnvironmentVariable("TONEMILL_AUDIO_DEVICE");
        if (named.isEmpty()) {
            choice.device = outputs.first();
            return choice;
        }
        for (const QAudioDevice& output : outputs) {
            if (QString::fromUtf8(output.id()) == named || output.description() == named) {
                choice.device = output;
                return choice;
            }
        }
        choice.error = BASS_ERROR_DEVICE;
        return choice;
    }
    if (device >= 2 && device <= outputs.size()) {
        choice.device = outputs.at(device - 1);
        return choice;
    }
    choice.error = BASS_ERROR_DEVICE;
    return choice;
}

} // namespace engine
