#include "engine/SoundServerName.h"

#include <QtGlobal>

namespace engine {

namespace {

// The library reads PULSE_PROP_<property> only for properties the program
// has not set, and the audio library sets the name: the override form
// replaces it.
void setOnce(const char* variable, const QByteArray& value)
{
    if (!qEnvironmentVariableIsSet(variable))
        qputenv(variable, value);
}

} // namespace

void NameSoundServerClient(const QByteArray& name, const QByteArray& iconName)
{
    setOnce("PULSE_PROP_OVERRIDE_application.name", name);
    setOnce("PULSE_PROP_OVERRIDE_application.icon_name", iconName);
    setOnce("PULSE_PROP_OVERRIDE_application.id", iconName);
}

} // namespace engine
