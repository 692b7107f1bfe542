#include "cli/CommandApplication.h"

#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"

namespace cli {

CommandApplication::CommandApplication(int& argc, char* argv[]) : QCoreApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tonemill"));
    setOrganizationName(QStringLiteral("Tonemill"));
    lang::sLanguageFile = lang::rememberedLanguageFile();
}

} // namespace cli
