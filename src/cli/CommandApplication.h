#pragma once

#include <QCoreApplication>

namespace cli {

//! The application object of a command (no display): named as the window
//! names its own, so that both read the same per-user settings, and speaking
//! the language the user chose there.
class CommandApplication : public QCoreApplication {
public:
    CommandApplication(int& argc, char* argv[]);
};

} // namespace cli
