#include "engine/EncoderCommandLine.h"

namespace engine {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false; // an argument has begun (possibly empty, as with "")
    bool quoted = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '"') {
            inArgument = true;
            if (quoted && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && isBlank(c)) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::string quoteCommandArgument(const std::string& argument)
{
    std::string quotedText = "\"";
    for (const char c : argument) {
        if (c == '"')
            quotedText += "\"\"";
        else
            quotedText += c;
    }
    quotedText += '"';
    return quotedText;
}

} // namespace engine
