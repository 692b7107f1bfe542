#pragma once

#include "settings/CRegister.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace options {
class FormatOptions;
}
namespace platform {
class Desktop;
}

namespace settings {

struct EncoderChoices;

//! The output options of one command-line run. They are loaded as the window
//! loads them but never written back, and the run's own choices (the format,
//! the output folder, "NAME=VALUE" assignments) change them for this run only.
//! The command line sets them through this object and hands formatOptions()
//! to the batch, so it never needs the option controls themselves.
class RunOptions {
public:
    RunOptions();
    ~RunOptions();
    RunOptions(const RunOptions&) = delete;
    RunOptions& operator=(const RunOptions&) = delete;

    //! Reads the saved options from `store` without writing anything to it,
    //! then applies each "NAME=VALUE" of `assignments`. Messages of the
    //! loading go to `desktop` when given. False, with a message naming it in
    //! `error`, at the first assignment with an unknown name or a value that
    //! does not apply.
    bool load(CRegister store, const QStringList& assignments, QString* error, platform::Desktop* desktop = nullptr);

    //! Chooses the output format by its index, as a click on its option does;
    //! false (nothing changed) for an index that names no format.
    bool chooseFormat(int index);

    //! Writes each output beside its input.
    void chooseSameFolder();

    //! Writes every output into `folder`, an absolute path; a trailing "/"
    //! (other than the root's) is dropped, as the folder field shows it.
    void chooseOutputFolder(const QString& folder);

    //! Places each output below the output folder as its input lies below the
    //! folder it was added from.
    void chooseKeepTree();
    //! Passes over the rows whose output is already there, complete.
    void chooseSkipConverted();
    //! Names the outputs from their tags by `pattern`.
    void chooseNamePattern(const QString& pattern);
    //! Normalises each output to `lufs`; false (nothing changed) outside the
    //! targets the options offer (lowestNormalizeTarget() to highestNormalizeTarget()).
    bool chooseNormalizeTarget(int lufs);
    static int lowestNormalizeTarget();
    static int highestNormalizeTarget();
    //! Sets the options the encoder flags stand for with the format chosen
    //! now (see encoderAssignments()); false with the reason in `error`.
    bool chooseEncoderSettings(const EncoderChoices& choices, const QStringList& formatNames, QString* error);

    //! The index of the output format chosen; -1 when none is.
    int selectedFormat() const;
    //! The first line of the format summary: the format and its settings.
    QString formatSummary();
    //! The options themselves, for the batch that reads them.
    options::FormatOptions& formatOptions() { return *m_options; }

private:
    std::unique_ptr<options::FormatOptions> m_options;
};

} // namespace settings
