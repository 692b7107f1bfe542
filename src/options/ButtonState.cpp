#include "options/ButtonState.h"

namespace options {

void ButtonState::click()
{
    if (Enabled())
        Q_EMIT Click();
}

} // namespace options
