#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace options {
class FormatOptions;
}

namespace settings {

//! An encoder setting the command line takes as a flag (`--bitrate 192`),
//! the same for every format it applies to; what it sets is the option of
//! the chosen format's page (see encoderAssignments()).
struct EncoderFlag {
    const char* name;      //!< "--bitrate"
    const char* valueName; //!< "KBPS", as --help shows it
    const char* help;      //!< what --help says of it
};

//! Every encoder flag, in the order --help lists them.
const std::vector<EncoderFlag>& encoderFlags();

//! The encoder flags of one run, as given: flag name and value, in order.
struct EncoderChoices {
    std::vector<std::pair<QString, QString>> given;

    bool empty() const { return given.empty(); }
    //! The value last given to `flag`; nothing when it was not given.
    std::optional<QString> value(const char* flag) const;
};

//! The saved options ("NAME=VALUE", in the order to apply) that `choices`
//! stand for with the output format `format` (an index of FormatOptions),
//! the values read against the lists and ranges of `options`. Without
//! --mode, --bitrate alone chooses constant bitrate and --quality alone
//! variable bitrate, where the format has modes. Nothing, with the reason in
//! `error` (formats named by `formatNames`, by index), when a flag does not
//! apply to the format or its mode, or its value is not one the page offers.
std::optional<QStringList> encoderAssignments(const options::FormatOptions& options, int format,
                                              const EncoderChoices& choices, const QStringList& formatNames,
                                              QString& error);

} // namespace settings
