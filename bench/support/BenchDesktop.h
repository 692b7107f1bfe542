#pragma once

#include "platform/Desktop.h"

namespace bench {

//! The Desktop of a benchmark: the yield runs every pending event (paints
//! included, as in the window), and a message box answers Ok after printing
//! its text to standard error, so a failure never goes unseen.
class BenchDesktop : public platform::Desktop {
public:
    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void dragWindow() override {}

    //! How many message boxes were shown.
    int boxes() const { return m_boxes; }

private:
    int m_boxes = 0;
};

} // namespace bench
