"""What a screen reader finds in the real window over at-spi: every control
that shows has a name and its role; the options panel opens by its button
as a screen reader presses it, and a quality slider is a slider whose value
can be set."""
import sys

import pyatspi

from realwindow import controls, fail, named, poll, window


def unnamed(nodes):
    return [f"a {node.getRoleName()} without a name" for node in nodes if not node.name.strip()]


with window(sys.argv[1]) as app:
    found = controls(app)
    problems = unnamed(found)
    for radio in ("Same folder as input file", "Other folder"):
        node = named(app, radio)
        if node is None or node.getRole() != pyatspi.ROLE_RADIO_BUTTON:
            problems.append(f'"{radio}" is no radio button')
    if not any(node.getRole() == pyatspi.ROLE_TABLE and node.name for node in found):
        problems.append("no named table for the list of files")

    named(app, "Change...").queryAction().doAction(0)
    sliders = poll("the options panel's sliders", lambda: controls(app, {pyatspi.ROLE_SLIDER}))
    problems += unnamed(controls(app))
    value = sliders[0].queryValue()
    if value.minimumIncrement != 1 or value.maximumValue <= value.minimumValue:
        problems.append(f"slider {sliders[0].name}: step {value.minimumIncrement}, "
                        f"range {value.minimumValue} to {value.maximumValue}")
    value.currentValue = value.minimumValue
    poll("the slider at its least value", lambda: value.currentValue == value.minimumValue, 10)
    if problems:
        fail("\n".join(problems))
    print(f"passed: {len(found)} controls on the main panel, {len(sliders)} sliders on the options page")
